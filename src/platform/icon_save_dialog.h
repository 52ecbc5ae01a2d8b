#pragma once
// The "Icon sizes" question Save asks before writing an .ico: which sizes the
// file holds besides the picture's own entry, and which colour is written
// transparent. Behind an interface so tests can answer it without a user.

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

class IconSaveDialog
{
public:
    struct Question
    {
        QImage picture;                  // the 32 x 32 picture being saved
        std::vector<int> sizes;          // the sizes ticked at first: those the file holds now
        int keptSize = 0;                // the size of the entry being replaced, always kept
        QString holds;                   // what the file holds now; empty for a new file
        std::optional<QRgb> transparent; // the transparent colour at first, or none
    };
    struct Choice
    {
        std::vector<int> sizes;
        std::optional<QRgb> transparent;
    };

    virtual ~IconSaveDialog() = default;
    // The user's choice, or nullopt when they cancelled.
    virtual std::optional<Choice> ask(QWidget *parent, const Question &question) = 0;
};
