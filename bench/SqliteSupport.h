#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

// The comparison runs of the benchmarks stop at the first SQLite failure: figures of a
// half-done run would mislead.
inline void Check(int aResult, int aExpected, sqlite3* aDb)
{
    if (aResult != aExpected)
    {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(aDb));
        std::abort();
    }
}

inline void Exec(sqlite3* aDb, const char* aSql)
{
    Check(sqlite3_exec(aDb, aSql, nullptr, nullptr, nullptr), SQLITE_OK, aDb);
}
