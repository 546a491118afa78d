#include "planning/onets_dlg.h"

#include "dialog/controls.h"
#include "resources/dialogs.h"

onets::onets(QWidget* parent)
    : dlg::Dialog(res::kDialog133, parent),
      date(platform::DateTime::now()),
      from(platform::DateTime::now()),
      to(platform::DateTime::now()) {}

bool onets::OnInitDialog() {
    const platform::DateTime values[] = {date, from, to};
    const int ids[] = {kDate, kFrom, kTo};
    for (int i = 0; i < 3; ++i) {
        if (values[i].isValid()) datePicker(ids[i])->setDateTime(values[i].toQDateTime());
    }
    return true;
}

void onets::OnOK() {
    date = platform::DateTime::fromQDateTime(datePicker(kDate)->dateTime());
    from = platform::DateTime::fromQDateTime(datePicker(kFrom)->dateTime());
    to = platform::DateTime::fromQDateTime(datePicker(kTo)->dateTime());
    EndDialog(platform::IDOK);
}
