#pragma once

#include <QDialog>
#include <functional>

class QLabel;

namespace vellumite {

class ProgramLauncher;
class Shell;

// The about box: the program's version, and the support mail and the web page once more.
class TfAbout : public QDialog
{
    Q_OBJECT

public:
    // The mail goes through `shell`, the web page to `defaultBrowser` (its executable, empty when none is
    // known) through `launcher`; `productVersion` is empty when the program file carries none.
    TfAbout(Shell &shell, ProgramLauncher &launcher, QString defaultBrowser, QString productVersion,
            QWidget *parent = nullptr);

    // Fills the version label.
    void FormShow();
    // The web-page label: opens the page in the default browser.
    void TntLabel4Click();
    // The support label: opens a support mail.
    void TntLabel5Click();

    QLabel *Image1 = nullptr;
    QLabel *lbVersion = nullptr;
    QLabel *TntLabel4 = nullptr;
    QLabel *TntLabel5 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *createLinkLabel(const QString &objectName, const QString &text, QPoint place,
                            std::function<void()> onClick);

    Shell &m_shell;
    ProgramLauncher &m_launcher;
    QString m_defaultBrowser;
    QString m_productVersion;
};

} // namespace vellumite
