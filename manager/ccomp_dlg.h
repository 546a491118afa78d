// The company dialog (130 "Compagnie"): name, e-mail, two contacts and the full address.
#pragma once

#include <QString>

#include "dialog/dialog.h"

class ccomp : public dlg::Dialog {
    Q_OBJECT
public:
    explicit ccomp(QWidget* parent = nullptr);

    static constexpr int kNom = 1018;
    static constexpr int kEmail = 1019;
    static constexpr int kContact1 = 1020;
    static constexpr int kContact2 = 1021;
    static constexpr int kFullAddress = 1034;

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
