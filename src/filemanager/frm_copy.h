#pragma once
// The icon file manager: a source and a destination folder side by side, each
// with its drive, folder and icon file lists. A click on an icon file puts it
// in the editor; the buttons copy, move or delete the selected source files.

#include "platform/side_window.h"

#include <array>
#include <memory>

class DriveList;
class FileOperation;
class FolderList;
class IconFileList;
class Label;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class EditorLink;

class frmCopy : public SideWindow
{
    Q_OBJECT
public:
    explicit frmCopy(EditorLink &main);
    ~frmCopy() override;

    // Index 0 the source side, 1 the destination side.
    Label *Label1, *Label2;
    std::array<DriveList *, 2> cboDrive{};
    std::array<FolderList *, 2> lstDir{};
    std::array<IconFileList *, 2> lstFile{};
    QLabel *picAmostra;
    std::array<QPushButton *, 3> cmdExecute{};
    QGroupBox *Frame2;
    QCheckBox *chkEntireDir, *chkUndo, *chkShowDlg, *chkRename, *chkConfirmOp, *chkConfirmMkDir, *chkShowFile;

    void cboDrive_Change(int k);
    void lstDir_Change(int k);
    void lstFile_Click(int k);
    void chkEntireDir_Click();
    void cmdExecute_Click(int i);
    // The selected entries of lstFile(k) as full paths, each followed by NUL.
    QByteArray BuildSelectedFileList(int k) const;
    // The flags the option boxes add up to.
    int operationFlags() const;

    // True while a copy, move or delete runs (its questions and progress
    // included): every handler above then does nothing, so a second request
    // cannot start while one runs, however it arrives.
    bool busy() const { return busy_; }

private:
    void inform(const QString &text);
    // Shows the icon files of folder list k's latest reading in file list k.
    bool showFiles(int k);

    EditorLink &main_;
    std::unique_ptr<FileOperation> operation_; // the window's one operation
    bool busy_ = false;
};
