// A small program that drags a link the way a browser does, for the drop test under X11: it shows a
// square at the top left of the screen and starts the drag when the mouse is pressed on it.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

class DragSource : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        const QString link = QStringLiteral("https://example.org/dropped");
        const QString urlAndTitle = link + u'\n' + QStringLiteral("Dropped Page");
        data->setData(
            QStringLiteral("text/x-moz-url"),
            QByteArray(reinterpret_cast<const char *>(urlAndTitle.utf16()), urlAndTitle.size() * 2));
        data->setData(QStringLiteral("text/plain"), link.toUtf8());
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
        QApplication::quit();
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
