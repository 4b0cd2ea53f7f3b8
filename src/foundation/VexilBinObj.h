#pragma once

#include <cstdint>

class CVexilFile;

// Type ids of the binary records; each record starts with its id and its generation.
enum EObjTypeId : int16_t
{
    EObjControl = 0,
    EObjCard = 1,
    EObjControlSet = 2,
    EObjStack = 3,
    EObjStackView = 4,
    EObjArray = 5,
    EObjIdGen = 6,
    EObjRect = 8,
    EObjSortKey = 9,
    EObjBlob = 10,
    EObjBlobStore = 11,
    EObjFont = 12,
    EObjStackFile = 13,
};

// The generation a record type is written with and the range its reader accepts.
struct TObjGenerations
{
    int16_t Written;
    int16_t Lowest;
    int16_t Highest;
};

// The 4-byte header of every binary record (BinObjStart): type id and generation.
class CVexilBinObj
{
public:
    static constexpr int32_t ExtBinObjStartLen() { return 4; }
    static constexpr int32_t ExtShortLen() { return 2; }
    static constexpr int32_t ExtIntLen() { return 4; }
    static constexpr int32_t ExtRealLen() { return 8; }

    static TObjGenerations Generations(EObjTypeId aTypeId);

    static void WriteBinObjStart(CVexilFile& aFile, int16_t aTypeId, int16_t aGen);
    // Reads the header and returns the generation read. Another type id is error 1006,
    // checked before the generation is read; a generation below aLowest is 1001, above
    // aHighest 1002.
    static int16_t ReadBinObjStart(CVexilFile& aFile, int16_t aTypeId, int16_t aLowest, int16_t aHighest);

    // The same with the generations of the table.
    static void WriteBinObjStart(CVexilFile& aFile, EObjTypeId aTypeId);
    static int16_t ReadBinObjStart(CVexilFile& aFile, EObjTypeId aTypeId);
};
