// The HanDBase reader on arbitrary bytes: a file it cannot accept is error 1007 naming the
// file; anything else that leaves it is a finding, and so is a walk over what it accepted
// that meets more values than fields or records with values past the limit.

#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "interchange/VexilHandBaseImport.h"
#include "interchange/VexilPdbFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    const QString name = WriteFuzzFile(QStringLiteral("in.pdb"), InputBytes(aData, aSize));
    CVexilPdbFile file;
    try
    {
        file.Construct(name);
    }
    catch (const CVexilException& e)
    {
        if (e.Number() != EErrWrongFormat || CVexilError::GetErrInfo().Param1 != name)
            Finding("unexpected error", ErrorText(e));
        return 0;
    }
    TPdbRecord record;
    int32_t cursor = 0;
    for (bool more = file.GetFirstRecord(record, cursor); more; more = file.GetNextRecord(record, cursor))
        if (record.NumValues > file.NumFields() || record.NumValues > CVexilPdbFile::KMaxValues)
            Finding("values beyond the fields");
    try
    {
        // Building fails on nothing the reader accepted.
        CVexilHandBaseImport::Build(file, name);
    }
    catch (const std::exception& e)
    {
        Finding("building failed", ErrorText(e));
    }
    return 0;
}
