// A small program that drags a link the way a browser does, for the drop test under X11: it shows a
// square at the top left of the screen and starts the drag when the mouse is pressed on it.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

QByteArray utf16Bytes(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

class DragSource : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent *) override
    {
        // What a browser offers for a dragged link, less text/x-moz-url: Qt as a drag source announces
        // that one but answers a request for it with its text/uri-list data, so it cannot stand in for
        // a browser there.
        auto *offered = new QMimeData;
        const QString link = QStringLiteral("https://example.org/dropped");
        const QString title = QStringLiteral("Dropped Page");
        offered->setData(QStringLiteral("_NETSCAPE_URL"), (link + u'\n' + title).toUtf8());
        offered->setData(QStringLiteral("text/x-moz-url-desc"), utf16Bytes(title));
        offered->setData(QStringLiteral("text/uri-list"), (link + u"\r\n").toUtf8());
        offered->setData(QStringLiteral("text/plain"), link.toUtf8());
        auto *drag = new QDrag(this);
        drag->setMimeData(offered);
        drag->exec(Qt::CopyAction);
        // The target asks for the data after the drop has ended here, so the source stays a while.
        QTimer::singleShot(5000, qApp, &QApplication::quit);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DragSource source;
    source.setGeometry(0, 0, 200, 200);
    source.show();
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
