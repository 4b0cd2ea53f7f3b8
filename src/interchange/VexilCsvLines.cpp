#include "interchange/VexilCsvLines.h"

void CVexilCsvLines::Clear()
{
    iText.clear();
    iItemStart.assign(1, 0);
    iLineStart.assign(1, 0);
}
