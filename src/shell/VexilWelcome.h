#pragma once

#include "shell/VexilDialogForm.h"

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QTimer>

class CVexilCommandButton;
class CVexilLabel;
class CVexilPictureBox;

// The welcome window: the product's name, picture, description, acknowledgements, legal notice
// and version. It centres itself in the main window when it loads and closes itself when its
// close timer fires (7000 ms unless set otherwise) or by "Ok"; Stay keeps it open until the
// user closes it. It keeps no placement of its own and ignores every change of the stack.
class CVexilWelcome : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilWelcome");
    static constexpr int KDefaultCloseInterval = 7000;

    CVexilWelcome();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The close timer's interval in ms for the windows loaded from now on (start-up and tests).
    static void SetCloseInterval(int aMilliseconds);
    static int CloseInterval();

    // Stops the close timer: the window stays until the user closes it.
    void Stay();
    bool Waiting() const { return fWaitTimer.isActive(); }

    // The window's top left corner (twips) when it loads in an area of aArea: centred across,
    // its top a fifth of the height left over; a side where the area is not larger than the
    // window keeps aCurrent's edge.
    static QPointF CentredPos(const QSizeF& aArea, const QSizeF& aWindow, const QPointF& aCurrent);
    // The product's picture.
    static QImage ProductPicture();

    CVexilLabel* Label1;
    CVexilLabel* Label2;
    CVexilLabel* Label3;
    CVexilLabel* Label4;
    CVexilLabel* Label5;
    CVexilLabel* Label6;
    CVexilPictureBox* Image1;
    CVexilCommandButton* DoOk;

protected:
    void Load() override;
    void Unload() override;

private:
    // The area the window centres in (twips): the main window's document area it opened in,
    // else its parent, else its screen.
    QSizeF AreaSize() const;

    QTimer fWaitTimer;
};
