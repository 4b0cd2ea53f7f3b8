// The reading step of the CSV import on arbitrary bytes, with each delimiter and both codings,
// types detected. A file it cannot take is refused with error 1007; messages 26 and 27 are
// answered; any other error, and any assertion question, is a finding.

#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "interchange/VexilImports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    const QString file = WriteFuzzFile(QStringLiteral("input.csv"), InputBytes(aData, aSize));
    for (const char* delim : {",", ";", "\t"})
    {
        for (const EFilCoding coding : {EFilAnsi, EFilUtf8})
        {
            TCsvOptions options;
            options.File = file;
            options.Delim = QString::fromLatin1(delim);
            options.Coding = coding;
            CVexilImports import;
            try
            {
                if (import.ReadCsv(options))
                    import.CheckCardNameColumn(0);
            }
            catch (const CVexilException& e)
            {
                if (e.Number() != EErrWrongFormat)
                    Finding("unexpected error", ErrorText(e));
            }
        }
    }
    return 0;
}
