#include "shell/VexilWinMan.h"

#include "foundation/VexilError.h"
#include "foundation/VexilPrompts.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"

#include <QPointer>

#include <utility>
#include <vector>

namespace
{
QStringList gFormNames;

class CWinManLink final : public IVexilWinManLink
{
public:
    void NotifyAll(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override
    {
        CVexilWinMan::NotifyAll(aEvent, aObj0, aObj1);
    }
};

void AddFormName(const QString& aName)
{
    CVexilError::Assert(gFormNames.size() < CVexilWinMan::KMaxForms, QStringLiteral("AddFormName ") + aName);
    if (gFormNames.size() < CVexilWinMan::KMaxForms)
        gFormNames.append(aName);
}
}  // namespace

void CVexilWinMan::RegisterForms()
{
    static CWinManLink link;
    gFormNames.clear();
    for (const char* name :
         {"CVexilFrame", "CVexilStackEdit", "CVexilGenForm", "CVexilCardListForm", "CVexilSearchForm",
          "CVexilNewStackForm", "CVexilControlEdit", "CVexilOptionEdit", "CVexilFontSelect", "CVexilCardSelect",
          "CVexilBackgroundEdit", "CVexilCardEdit", "CVexilValueEdit", "CVexilCsvImportOptions", "CVexilWikiTextEdit",
          "CVexilSortKeyEdit1", "CVexilControlSelect", "CVexilScriptEdit", "CVexilWelcome", "CVexilExportOptions",
          "CVexilCsvExportOptions", "CVexilImportOptions", "CVexilPictureViewer"})
        AddFormName(QLatin1String(name));
    CVexilWinManLink::Install(&link);
}

const QStringList& CVexilWinMan::FormNames()
{
    return gFormNames;
}

bool CVexilWinMan::IsManagedForm(const QString& aClassName)
{
    return gFormNames.contains(aClassName);
}

CVexilForm* CVexilWinMan::NameToForm(const QString& aClassName)
{
    const bool managed = IsManagedForm(aClassName);
    CVexilError::Assert(managed, QStringLiteral("NameToForm name ") + aClassName);
    // A window of a later part of the program has a name but no class yet.
    if (!managed || !CVexilFormRegistry::IsRegistered(aClassName))
        return nullptr;
    return CVexilFormRegistry::NameToForm(aClassName);
}

void CVexilWinMan::ShowForm(CVexilForm& aForm, bool aModal, QWidget* aOwner)
{
    if (aOwner)
        aForm.setParent(aOwner, aForm.windowFlags() | Qt::Window);
    aForm.setWindowModality(aModal ? Qt::ApplicationModal : Qt::NonModal);
    aForm.show();
    aForm.Activate();
    // Inside the document area the activation chose the control to take the focus (the focus
    // widget of the window, which an open menu may still hold back); the window itself takes no
    // keys, so it takes the focus only when no control has it.
    QWidget* control = aForm.focusWidget();
    (control && control != &aForm ? control : static_cast<QWidget*>(&aForm))->setFocus();
}

CVexilForm* CVexilWinMan::ShowNamed(const QString& aClassName)
{
    CVexilForm* form = NameToForm(aClassName);
    if (form)
        ShowForm(*form);
    return form;
}

bool CVexilWinMan::IsFormLoaded(const QString& aClassName)
{
    return CVexilFormRegistry::Loaded(aClassName) != nullptr;
}

void CVexilWinMan::NotifyAll(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1)
{
    // The receivers are taken before the first yield: the list may change in any yield.
    std::vector<std::pair<QString, QPointer<CVexilForm>>> receivers;
    for (const QString& name : CVexilFormRegistry::LoadOrder())
        if (IsManagedForm(name))
            receivers.emplace_back(name, CVexilFormRegistry::Loaded(name));
    for (const auto& [name, form] : receivers)
    {
        DoEvents();
        // Unloaded meanwhile (perhaps loaded again as a new instance, which came too late).
        if (!form || CVexilFormRegistry::Loaded(name) != form)
            continue;
        form->ChangeNotify(aEvent, aObj0, aObj1);
        DoEvents();
    }
}

