#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

// Plays the user at every modal box: notes what it shows and answers it.
class ModalAnswerer : public QObject
{
public:
    QStringList seen;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QString fileChoice; // picked in a file dialog; "" cancels it

    ModalAnswerer()
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start();
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << "box:" + box->windowTitle() + ":" + box->text();
            QAbstractButton *button = box->button(answer);
            (button ? button : box->buttons().constFirst())->click();
        } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            seen << "input:" + input->windowTitle() + ":" + input->labelText();
            input->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            seen << "files:" + files->windowTitle();
            if (fileChoice.isEmpty()) {
                files->reject();
            } else {
                files->selectFile(fileChoice);
                QMetaObject::invokeMethod(files, "accept"); // as the Open button does
            }
        }
    }

    QTimer m_timer;
};
