#pragma once

#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>

// Answers the next assertion question Yes, so that the code goes on past the failed check,
// and checks when it goes out of scope that the question showed aDetail.
class IgnoredAssert
{
public:
    explicit IgnoredAssert(const QString& aDetail) : iDetail(aDetail)
    {
        ScriptedPrompts::Instance().ExpectMessage(true);
    }
    ~IgnoredAssert()
    {
        const auto& messages = ScriptedPrompts::Instance().Messages();
        const bool asked = !messages.empty() && messages.back().Id == EMsgAssertFailedOk &&
                           messages.back().Text.contains(QStringLiteral("< ") + iDetail);
        EXPECT_TRUE(asked) << "no assertion question about " << iDetail.toStdString();
    }
    IgnoredAssert(const IgnoredAssert&) = delete;
    IgnoredAssert& operator=(const IgnoredAssert&) = delete;

private:
    QString iDetail;
};

// Runs aDo, which must fail one check; the question is answered No, and the record of the
// resulting error 1000 is returned.
inline TErrInfo RefusedCheck(const std::function<void()>& aDo)
{
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError(aDo), EErrAssertFailed) << "no check failed";
    return CVexilError::GetErrInfo();
}
