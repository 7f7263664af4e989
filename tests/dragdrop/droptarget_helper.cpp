// A small program that takes whatever is dropped on it, for the drag test under X11. It shows a square
// at the top left of the screen and prints "ready <x> <y>", the global point of its middle, once it is
// placed. A drop is accepted as a move, as a program that takes the dragged thing away would report it;
// then every format offered is printed as "format <name> <data in base64>", the text and the HTML as
// "text <base64>" and "html <base64>", and "done".

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void printLine(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

class DropTarget : public QWidget
{
public:
    DropTarget() { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { acceptAsMove(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { acceptAsMove(event); }
    void dropEvent(QDropEvent *event) override
    {
        const QMimeData *offered = event->mimeData();
        for (const QString &format : offered->formats())
            printLine("format " + format.toUtf8() + ' ' + offered->data(format).toBase64());
        printLine("text " + offered->text().toUtf8().toBase64());
        printLine("html " + offered->html().toUtf8().toBase64());
        acceptAsMove(event);
        printLine("done");
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }

private:
    static void acceptAsMove(QDropEvent *event)
    {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DropTarget target;
    target.setGeometry(0, 0, 200, 200);
    target.show();
    // A window manager places and frames the window after it is shown.
    QTimer::singleShot(500, &target, [&target] {
        const QPoint middle = target.mapToGlobal(target.rect().center());
        printLine("ready " + QByteArray::number(middle.x()) + ' ' + QByteArray::number(middle.y()));
    });
    QTimer::singleShot(60'000, &app, &QApplication::quit);
    return app.exec();
}
