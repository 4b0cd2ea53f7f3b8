#pragma once

// The formats of the import dialog, in the order OK tests them.
enum class EImportFormat
{
    ECsv,
    EXml,
    EPdb,
    EQuorvan,
    EText,
    ENone
};

// Which controls of the import dialog take input, for a format and whether a stack is open.
// The check box keeps the user's state for CSV; the other formats set it.
struct TImportDisables
{
    bool XmlEnabled = false;
    bool QuorvanEnabled = false;
    bool TextEnabled = false;
    bool IntoCurStackEnabled = false;
    bool IntoCurStackChecked = false;
    bool BackgroundBoxEnabled = false;

    bool operator==(const TImportDisables&) const = default;

    // ENone is an internal fault (an assertion); the controls are then left as for CSV.
    static TImportDisables For(EImportFormat aFormat, bool aStackOpen, bool aIntoCurStackChecked);
};
