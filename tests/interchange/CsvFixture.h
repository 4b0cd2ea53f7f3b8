#pragma once

#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"

#include "foundation/VexilMsg.h"
#include "interchange/VexilImports.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilStack.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

// CSV files in a temporary folder and what importing them gives.
class CsvFixture : public ::testing::Test
{
protected:
    QString CsvFile(const QByteArray& aBytes, const QString& aName = QStringLiteral("in.csv"))
    {
        return SetFileContent(iDir.File(aName), aBytes);
    }

    static TCsvOptions Options(const QString& aFile, bool aHeaderLine = true, bool aDetectTypes = true)
    {
        TCsvOptions options;
        options.File = aFile;
        options.HeaderLine = aHeaderLine;
        options.DetectTypes = aDetectTypes;
        options.GuessKey = false;
        options.TryCardName = false;
        return options;
    }

    // A new stack of the file, detection on, no guesses.
    TStackRef Import(const QByteArray& aBytes, bool aHeaderLine = true)
    {
        CVexilImports import;
        return import.ImportCsv1(Options(CsvFile(aBytes), aHeaderLine));
    }

    // Each line of the file as read, its items joined by "|".
    static QStringList Lines(const CVexilCsvLines& aLines)
    {
        QStringList lines;
        for (int32_t line = 0; line < aLines.Count(); ++line)
        {
            QStringList items;
            for (int k = 0; k < aLines.NumItems(line); ++k)
                items << aLines.Item(line, k).toString();
            lines << items.join(u'|');
        }
        return lines;
    }

    static TControlSetRef FirstBackground(const CVexilStack& aStack)
    {
        TControlSetRef background;
        int32_t cursor = 0;
        aStack.GetFirstBackground(background, cursor);
        return background;
    }

    static std::vector<TControlRef> Fields(const CVexilControlSet& aBackground)
    {
        std::vector<TControlRef> fields;
        TControlRef field;
        int32_t cursor = 0;
        for (bool found = aBackground.GetFirstControl(field, cursor); found;
             found = aBackground.GetNextControl(field, cursor))
            fields.push_back(field);
        return fields;
    }

    static std::vector<TCardRef> Cards(const CVexilStack& aStack, int32_t aBackgroundId)
    {
        std::vector<TCardRef> cards;
        TCardRef card;
        int32_t cursor = 0;
        for (bool found = aStack.GetFirstCardInBackground(aBackgroundId, card, cursor); found;
             found = aStack.GetNextCardInBackground(aBackgroundId, card, cursor))
            cards.push_back(card);
        return cards;
    }

    // The cards' own values of the field, in stack order (undefined where a card has none).
    static std::vector<TValue> Values(const CVexilStack& aStack, const CVexilControl& aField)
    {
        std::vector<TValue> values;
        for (const TCardRef& card : Cards(aStack, FirstBackground(aStack)->Id()))
        {
            TValue val;
            card->GetControlVal(aField.Id(), val, false);
            values.push_back(val);
        }
        return values;
    }

    // The message ids shown so far.
    static std::vector<int32_t> MessageIds()
    {
        std::vector<int32_t> ids;
        for (const TMsgPrompt& prompt : ScriptedPrompts::Instance().Messages())
            ids.push_back(prompt.Id);
        return ids;
    }

    TempDir iDir;
};
