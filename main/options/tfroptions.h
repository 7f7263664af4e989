#pragma once

#include "platform/hotkeytext.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vellumite {

class HotKeyField;
class ModalWindowWait;
class TForm1;
struct CapturedPage;
struct PlatformServices;

// The options window: where the exchange finds the browser stores, which browser opens bookmarks, and
// the global capture hot key, which this window owns from start to exit. Made once after the main
// window and only hidden between its modal showings; every change takes effect at once.
class TfrOptions final : public QDialog
{
    Q_OBJECT

public:
    // FormCreate: reads and registers the hot key, fills the fields and the browser list.
    TfrOptions(TForm1 &form, PlatformServices &services);
    ~TfrOptions() override;

    void IEbutFavClick();
    void FirefbutBookClick();
    void OperabtBookClick();
    void cbBrowserChange(int position);
    void HotKey1Change();
    void HotKey1Exit();
    void ButtonCloseClick();
    // The capture: the page of the window in front goes into the add dialog, once no modal window
    // stands in its way.
    void HotKeyManager1HotKeyPressed(HotKeyValue hotKey, quint16 index);

    QGroupBox *GroupSources;
    QLabel *Image1;
    QLineEdit *edIEFav;
    QLineEdit *edFirefoxBookm;
    QLineEdit *edOperaBookm;
    QPushButton *IEbutFav;
    QPushButton *FirefbutBook;
    QPushButton *OperabtBook;
    QComboBox *cbBrowser;
    HotKeyField *HotKey1;
    QPushButton *ButtonClose;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void FormCreate();
    void TntFormShow();
    void TntFormClose();
    QString readHotKeyText() const;
    void fillBrowserList();
    bool captureAllowed() const;
    void showCapturedPage(const CapturedPage &page);

    TForm1 &m_form;
    PlatformServices &m_services;
    ModalWindowWait *m_captureWait;
};

} // namespace vellumite
