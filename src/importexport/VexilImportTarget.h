#pragma once

#include "model/VexilControlSet.h"

#include <QString>

#include <cstdint>

// Where the cards of an import go, as the import dialog shows it: into a background of the
// current stack, or into a new stack. The CSV import options read it through this interface
// while the import dialog is open; tests implement it themselves.
class IVexilImportTarget
{
public:
    virtual bool IntoCurStack() const = 0;
    // The background chosen in the list, none when no line with a background is selected.
    virtual TControlSetRef TargetBackground() const = 0;

protected:
    ~IVexilImportTarget() = default;
};

// The target as it was handed over, for when its dialog has closed since: the background is
// kept by id and name, so that a deleted or closed one is found missing, not used.
struct TImportTargetState
{
    bool IntoCurStack = false;
    int32_t BackgroundId = UndefLong;
    QString BackgroundName;

    static TImportTargetState Of(bool aIntoCurStack, const TControlSetRef& aBackground)
    {
        return {aIntoCurStack, aBackground ? aBackground->Id() : UndefLong,
                aBackground ? aBackground->Name() : QString()};
    }
};
