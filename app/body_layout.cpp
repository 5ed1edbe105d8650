// Layout generation: the crystals laid out afresh from the panels.
#include "body.h"
#include "calign.h"
#include "layout.h"
#include "mcrystal.h"
#include "numberinput.h"
#include "units.h"

#include <QSignalBlocker>

void Body::newCrystal()
{
    units.setD(MC->Spacing->text().toDouble());
    newLayout();
}

void Body::newLayout()
{
    // shapes points into the crystals about to change.
    shapes.clear();
    releaseRowFocus();

    LayoutParams p;
    p.startEnergy = CA->StartE->text().toDouble();
    p.energyStep = CA->DE->text().toDouble();
    // A whole number however written ("7.0" is 7); anything else counts as 0.
    p.count = wholeNumber(CA->Num->text()).value_or(0);
    p.dx = CA->DX->text().toDouble();
    p.dy = CA->DY->text().toDouble();
    p.length = CA->Length->text().toDouble();
    if (p.count > kMaxCrystals) {
        // Say on screen what is built.
        p.count = kMaxCrystals;
        CA->Num->setText(QString::number(kMaxCrystals));
    }
    // Type 1 also when no button is checked.
    p.type = 1;
    const QRadioButton *types[]
        = {CA->Type1, CA->Type2, CA->Type3, CA->Type4, CA->Type5, CA->Type6, CA->Type7};
    for (int t = 0; t < 7; ++t) {
        if (types[t]->isChecked()) {
            p.type = t + 1;
            break;
        }
    }

    // Building a row of seven fields costs more than tracing it: the rows there are take the new
    // crystals in order, and only the difference in count is made or thrown away.
    const QVector<CrystalOptics> geometries = layOut(p, units.D);
    const int n = geometries.size();
    while (crystals.size() > n) {
        ACrystal *c = crystals.takeLast();
        disconnect(c, nullptr, this, nullptr);
        // Out of the table now, so that the window can shrink to the rows left at once; the
        // object itself goes once control is back in the event loop.
        c->hide();
        CL->removeWidget(c);
        c->deleteLater();
    }
    for (int i = 0; i < crystals.size(); ++i)
        crystals[i]->takeGeometry(geometries[i]);
    for (int i = crystals.size(); i < n; ++i) {
        ACrystal *c = new ACrystal(geometries[i], nullptr);
        crystals.append(c);
        connect(c, SIGNAL(updated()), this, SLOT(drawEverything()));
    }
    if (CA->RotateAll->isChecked())
        rotateAll();
    drawEverything();
}

void Body::releaseRowFocus()
{
    // The window's focus field, also while another window is active: it gets the focus back then.
    QWidget *focused = focusWidget();
    if (!focused || !CLBase->isAncestorOf(focused))
        return;
    // Qt 5 finishes an edit again whenever a field loses the focus, and the field would then put
    // the texts it shows into its crystal, rounded to the shown decimals. The field is left
    // without a word, as a row thrown away would be.
    const QSignalBlocker quiet(focused);
    focused->clearFocus();
}

void Body::rotateAll()
{
    const double a = CA->RotateAllDeg->text().toDouble();
    for (ACrystal *c : qAsConst(crystals)) {
        c->rotateAboutOrigin(a);
        c->showValues();
    }
}
