#pragma once

// The windows of later parts of the program as the stack view and the card window open them,
// recorded instead of shown. Installed for its lifetime.

#include "presentation/VexilStackViewWindows.h"

#include <QApplication>
#include <QStringList>

#include <functional>
#include <optional>

class RecordingWindows : public IVexilStackViewWindows
{
public:
    RecordingWindows() { CVexilStackViewWindows::Install(this); }
    ~RecordingWindows() override { CVexilStackViewWindows::Install(nullptr); }
    RecordingWindows(const RecordingWindows&) = delete;
    RecordingWindows& operator=(const RecordingWindows&) = delete;

    void ShowForm(const QString& aClassName) override { iCalls += QStringLiteral("ShowForm ") + aClassName; }
    void ShowRunError(const TRunErrInfo& aInfo) override
    {
        iCalls += QStringLiteral("ShowRunError");
        iRunError = aInfo;
    }
    void EditWikiText(const TCardRef& aCard, const TControlRef& aField) override
    {
        iCalls += QStringLiteral("EditWikiText ") + aCard->Name() + QLatin1Char(' ') + aField->Name();
    }
    // Notes the widget that has the focus: the active picture field that Show Picture shows.
    void ShowPicture() override
    {
        const QWidget* focus = QApplication::focusWidget();
        iCalls += QStringLiteral("ShowPicture ") + (focus ? focus->objectName() : QString());
    }
    bool CloseCurrentStack() override
    {
        iCalls += QStringLiteral("CloseCurrentStack");
        return iOnClose ? iOnClose() : false;
    }

    QStringList iCalls;
    std::optional<TRunErrInfo> iRunError;
    // What the user's close does; none refuses it.
    std::function<bool()> iOnClose;
};
