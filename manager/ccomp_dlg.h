// The company dialog (130 "Compagnie"): name, e-mail, two contacts and the full address.
#pragma once

#include <QString>

#include "dialog/dialog.h"
#include "resources/control_ids.h"

class ccomp : public dlg::Dialog, public res::CompanyControls {
    Q_OBJECT
public:
    explicit ccomp(QWidget* parent = nullptr);

    // In: the texts shown at opening; out after OK: the texts typed.
    QString nom;
    QString email;
    QString contact1;
    QString contact2;
    QString fulladr;

    // The longest name whose placeholder show still fits its column.
    static int maxNameChars();
    // Why the texts read could not be stored as typed (a character outside the code page, a
    // text longer than its column), or empty.
    QString storageProblem() const;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    static const dlg::MessageEntry<ccomp> kMessages[];
    void OnNameChanged(const dlg::Notification&);
    void readFields();
};
