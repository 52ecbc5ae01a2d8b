#pragma once
// The grid's rulers: fixed texts whose numbers are spread so that each one
// stands level with its row (rows ruler) or under its column (columns ruler).

#include "platform/label.h"

#include <QLineEdit>

class RowRuler : public Label
{
    Q_OBJECT
public:
    RowRuler(QWidget *parent, const QString &name, const QString &caption);

protected:
    void paintEvent(QPaintEvent *e) override;
};

class ColumnRuler : public QLineEdit
{
    Q_OBJECT
public:
    ColumnRuler(QWidget *parent, const QString &name, const QString &text);

protected:
    void paintEvent(QPaintEvent *e) override;
};
