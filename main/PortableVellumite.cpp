#include "main/uMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(vellumite::ApplicationTitle);
    vellumite::TForm1 form;
    form.show();
    return app.exec();
}
