#include "shell/qt_message_box.h"

#include "platform/window_stacking.h"

#include <QMessageBox>

MessageBox::Answer QtMessageBox::show(QWidget *parent, const QString &title, const QString &text, Buttons buttons,
                                      Icon icon)
{
    const DialogInFront front;
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // The texts separate their lines with carriage returns, as the old
    // platform's boxes did; Qt breaks lines on line feeds only.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    switch (icon) {
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Information: box.setIcon(QMessageBox::Information); break;
    case NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case OkOnly: set = QMessageBox::Ok; break;
    case OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
    case AbortRetryIgnore: set = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore; break;
    case YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case RetryCancel: set = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(set);
    switch (box.exec()) {
    case QMessageBox::Ok: return Ok;
    case QMessageBox::Cancel: return Cancel;
    case QMessageBox::Abort: return Abort;
    case QMessageBox::Retry: return Retry;
    case QMessageBox::Ignore: return Ignore;
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return Cancel;
    }
}
