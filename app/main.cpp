#include <QApplication>

#include "app/cbrelo_app.h"
#include "platform/french_interface.h"
#include "platform/widget_ui_services.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    platform::installFrenchInterface(application);
    platform::WidgetUiServices services;
    platform::setUiServices(&services);
    CBreloApp app;
    app.InitInstance();
    platform::setUiServices(nullptr);
    return 0;
}
