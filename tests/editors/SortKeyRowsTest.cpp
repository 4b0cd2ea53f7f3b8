// The part rows of a sort key written into the key and read back, without the window.

#include "StackBuild.h"
#include "editors/VexilSortKeyRows.h"
#include "model/VexilSortKey.h"

#include <gtest/gtest.h>

namespace
{
class SortKeyRows : public ::testing::Test
{
protected:
    SortKeyRows()
    {
        iStack.Construct(QStringLiteral("Rows"));
        iBackground = iStack.Background(0);
    }

    TControlRef Add(const QString& aName, int32_t aType, int16_t aMaxChar = UndefInt, int16_t aVisChar = 10)
    {
        TControlRef field = NewField(iStack, *iBackground, aName, aType);
        field->SetMaxChar(aMaxChar);
        field->SetVisChar(aVisChar);
        return field;
    }

    // The key's parts as "field id way len@pos".
    static std::vector<std::string> Parts(const CVexilSortKey& aKey)
    {
        std::vector<std::string> parts;
        TKeyPart part;
        int32_t cursor = 0;
        for (bool more = aKey.GetFirstKeyPart(part, cursor); more; more = aKey.GetNextKeyPart(part, cursor))
            parts.push_back(std::to_string(part.ControlId) + " " + std::to_string(part.Way) + " " +
                            std::to_string(part.Len) + "@" + std::to_string(part.Pos));
        return parts;
    }
    static std::string Part(const TControlRef& aField, int aWay, int aLen, int aPos)
    {
        return std::to_string(aField->Id()) + " " + std::to_string(aWay) + " " + std::to_string(aLen) + "@" +
               std::to_string(aPos);
    }

    CVexilStack iStack;
    TControlSetRef iBackground;
};

TEST_F(SortKeyRows, RowsWithAFieldFollowEachOtherWithTheirFieldsWidths)
{
    const TControlRef visible = Add(QStringLiteral("Visible"), EConTypeText, UndefInt, 12);
    const TControlRef real = Add(QStringLiteral("Real"), EConTypeReal);
    const TControlRef time = Add(QStringLiteral("Time"), EConTypeTime);
    const TControlRef flag = Add(QStringLiteral("Flag"), EConTypeBoolean);
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("Old"), iBackground->Id());
    key.AddKeyPart(EConTypeReal, real->Id(), 1, 15);

    // A row without a way is written ascending; the same field may stand in two rows.
    const TKeyRows rows = {TKeyRow{visible, EKeyWayDescending}, TKeyRow{nullptr, EKeyWayDescending},
                           TKeyRow{real, EKeyWayNone}, TKeyRow{time, EKeyWayAscending},
                           TKeyRow{visible, EKeyWayAscending}};
    CVexilSortKeyRows::WriteSortKey(key, QStringLiteral("New"), rows);
    EXPECT_EQ(key.Name(), QStringLiteral("New"));
    EXPECT_EQ(Parts(key), (std::vector<std::string>{Part(visible, 1, 12, 0), Part(real, 0, 15, 12),
                                                    Part(time, 0, 6, 27), Part(visible, 0, 12, 33)}));

    CVexilSortKeyRows::WriteSortKey(key, QStringLiteral("New"), {TKeyRow{flag, EKeyWayAscending}});
    EXPECT_EQ(Parts(key), std::vector<std::string>{Part(flag, 0, 2, 0)});
}

TEST_F(SortKeyRows, ASixthPartStaysAfterTheRowsAndOddWaysShowAscending)
{
    const TControlRef text = Add(QStringLiteral("Text"), EConTypeText, 100);
    const TControlRef number = Add(QStringLiteral("Number"), EConTypeInteger);
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("Six"), iBackground->Id());
    for (int way : {0, 2, 1, 0, 0})
        key.AddKeyPart(EConTypeInteger, number->Id(), way, 11);
    key.AddKeyPart(EConTypeText, text->Id(), 1, 30);

    const TKeyRows rows = CVexilSortKeyRows::RowsOf(key, *iBackground);
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        EXPECT_EQ(rows[size_t(row)].Control, number) << row;
        EXPECT_EQ(rows[size_t(row)].Way, row == 2 ? EKeyWayDescending : EKeyWayAscending) << row;
    }

    CVexilSortKeyRows::WriteSortKey(key, QStringLiteral("Six"), {TKeyRow{number, EKeyWayAscending}});
    EXPECT_EQ(Parts(key), (std::vector<std::string>{Part(number, 0, 11, 0), Part(text, 1, 30, 11)}));
}
}  // namespace
