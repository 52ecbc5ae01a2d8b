#include "filemanager/frm_copy.h"

#include "filemanager/byte_paths.h"
#include "filemanager/file_operation.h"
#include "filemanager/folder_views.h"
#include "formats/icon_file.h"
#include "formats/picture_loader.h"
#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/message_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <unistd.h>

namespace {

const QString kNoFiles = QStringLiteral("  No  files  selected  for  this  operation  ");
const QString kNotDone = QStringLiteral("   Did   not   complete   operation   successfully.  ");
const QString kNotCompleted = QStringLiteral("   Not  Completed  operation!!!   ");

QCheckBox *option(QGroupBox *frame, const char *name, const char *caption, bool checked, int top)
{
    auto *box = new QCheckBox(QString::fromLatin1(caption), frame);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    placeTwips(box, 120, top, 1695, 165);
    return box;
}

} // namespace

frmCopy::frmCopy(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("frmCopy"), QStringLiteral("Vorn Tessarel"),
                 Protocol{})
    , main_(main)
{
    Label1 = new Label(this, QStringLiteral("Label1"), QStringLiteral("Source Icon:"));
    placeTwips(Label1, 120, 105, 1260, 285);
    Label2 = new Label(this, QStringLiteral("Label2"), QStringLiteral("Destination Icon:"));
    placeTwips(Label2, 2520, 120, 1725, 285);
    for (int k = 0; k < 2; ++k) {
        const int left = k == 0 ? 120 : 2520;
        cboDrive[size_t(k)] = new DriveList(this, QStringLiteral("cboDrive"));
        placeTwips(cboDrive[size_t(k)], left, 360, 2295, 300);
        lstDir[size_t(k)] = new FolderList(this, QStringLiteral("lstDir"));
        placeTwips(lstDir[size_t(k)], left, 720, 2295, 1530);
        lstFile[size_t(k)] = new IconFileList(this, QStringLiteral("lstFile"), k == 0);
        placeTwips(lstFile[size_t(k)], k == 0 ? 120 : 3000, 2400, 1815, 2340);
        for (QWidget *w : {static_cast<QWidget *>(cboDrive[size_t(k)]), static_cast<QWidget *>(lstDir[size_t(k)]),
                           static_cast<QWidget *>(lstFile[size_t(k)])})
            w->setProperty("index", k);
    }
    picAmostra = new QLabel(this);
    picAmostra->setObjectName(QStringLiteral("picAmostra"));
    picAmostra->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(picAmostra, 2200, 2520, 540, 540);
    const char *captions[3] = {"Copy >>", "Move >>", "Delete"};
    const int tops[3] = {3360, 3720, 4320}, heights[3] = {375, 375, 345};
    for (int i = 0; i < 3; ++i) {
        cmdExecute[size_t(i)] = new QPushButton(QString::fromLatin1(captions[i]), this);
        cmdExecute[size_t(i)]->setObjectName(QStringLiteral("cmdExecute"));
        cmdExecute[size_t(i)]->setProperty("index", i);
        placeTwips(cmdExecute[size_t(i)], 2040, tops[i], 825, heights[i]);
        connect(cmdExecute[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdExecute_Click(i); });
    }
    // The options keep their first values: their frame is never shown.
    Frame2 = new QGroupBox(QStringLiteral("Options"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    placeTwips(Frame2, 240, 960, 1935, 1335);
    chkEntireDir = option(Frame2, "chkEntireDir", "Include Entire Directory", false, 240);
    chkUndo = option(Frame2, "chkUndo", "Allow Undo", true, 405);
    chkShowDlg = option(Frame2, "chkShowDlg", "Display Progress Dialog", true, 570);
    chkRename = option(Frame2, "chkRename", "Rename on Collision", false, 735);
    chkConfirmOp = option(Frame2, "chkConfirmOp", "Confirm Operations", true, 900);
    chkConfirmMkDir = option(Frame2, "chkConfirmMkDir", "Confirm Create Directory", false, 1065);
    chkShowFile = option(Frame2, "chkShowFile", "Show Name of Each File", true, 1230);
    Frame2->hide();
    for (Label *l : {Label1, Label2})
        fonts::fitCaption(l);

    // Both sides start in the user's home folder.
    const QByteArray home = QFile::encodeName(QDir::homePath());
    for (int k = 0; k < 2; ++k) {
        cboDrive[size_t(k)]->showDriveOf(home);
        lstDir[size_t(k)]->setPath(home);
        showFiles(k);
        connect(cboDrive[size_t(k)], &QComboBox::currentIndexChanged, this, [this, k] { cboDrive_Change(k); });
        connect(lstDir[size_t(k)], &FolderList::Change, this, [this, k] { lstDir_Change(k); });
        connect(lstFile[size_t(k)], &IconFileList::Click, this, [this, k] { lstFile_Click(k); });
    }
    connect(chkEntireDir, &QCheckBox::clicked, this, &frmCopy::chkEntireDir_Click);
    operation_ = std::make_unique<FileOperation>(*main_.platform().fileOperationPrompts);

    // Load: always on top, then a fixed size and place of its own.
    loadProtocol();
    setOuterSizeTwips(5010, 5205);
    move(twips::toPixels(5000), twips::toPixels(1000));
}

void frmCopy::inform(const QString &text)
{
    main_.platform().messageBox->show(this, QStringLiteral("Inform the User!"), text, MessageBox::OkOnly,
                                      MessageBox::NoIcon);
}

frmCopy::~frmCopy() = default;

namespace {

// Marks the window busy for the life of one operation.
class BusyWhile
{
public:
    BusyWhile(bool &busy, const std::array<QPushButton *, 3> &buttons)
        : busy_(busy)
        , buttons_(buttons)
    {
        busy_ = true;
        for (QPushButton *b : buttons_)
            b->setEnabled(false);
    }
    ~BusyWhile()
    {
        for (QPushButton *b : buttons_)
            b->setEnabled(true);
        busy_ = false;
    }
    BusyWhile(const BusyWhile &) = delete;
    BusyWhile &operator=(const BusyWhile &) = delete;

private:
    bool &busy_;
    const std::array<QPushButton *, 3> &buttons_;
};

} // namespace

bool frmCopy::showFiles(int k)
{
    const auto &files = lstDir[size_t(k)]->iconFiles();
    if (!files)
        return false;
    lstFile[size_t(k)]->setFiles(lstDir[size_t(k)]->path(), *files);
    return true;
}

void frmCopy::cboDrive_Change(int k)
{
    if (busy_)
        return;
    QString why;
    if (!lstDir[size_t(k)]->setPath(cboDrive[size_t(k)]->drive(), &why)) {
        // Drive not ready: say so and stay where the lists are.
        main_.placement().SetWindowTopmost(this, false);
        inform(kNoFiles);
        main_.placement().SetWindowTopmost(this, true);
        return;
    }
    lstDir_Change(k);
}

void frmCopy::lstDir_Change(int k)
{
    if (busy_)
        return;
    // The folder list has just read the folder: the file list shows the same reading.
    if (!showFiles(k)) {
        main_.placement().SetWindowTopmost(this, false);
        inform(kNoFiles);
        main_.placement().SetWindowTopmost(this, true);
    }
}

void frmCopy::lstFile_Click(int k)
{
    // A click that chose no file (one that deselected, a key in an empty
    // list) asks for nothing, and so has nothing to report.
    const QByteArray name = lstFile[size_t(k)]->fileName();
    if (busy_ || name.isEmpty())
        return;
    // A destination file with the same name as the selected source file
    // stands for the source file.
    const QByteArray sourceName = lstFile[0]->fileName();
    const QByteArray path = name == sourceName ? bytepath::joined(lstFile[0]->path(), sourceName)
                                               : bytepath::joined(lstFile[1]->path(), name);
    // The status shows the name as text; the editor keeps its bytes for Properties and Resize.
    main_.setCurrentFile(path);
    // Opened without waiting: a pipe put in the file's place is refused.
    const auto picture = loadPictureAt(path);
    if (!picture) {
        main_.placement().SetWindowTopmost(this, false);
        inform(kNoFiles);
        main_.placement().SetWindowTopmost(this, true);
        return;
    }
    picAmostra->setPixmap(QPixmap::fromImage(*picture));
    main_.ikonSurface().setPicture(*picture);
    main_.setTransparentColour(transparentShownAs(*picture, main_.ikonSurface().image()));
    main_.RefreshGrid();
}

void frmCopy::chkEntireDir_Click()
{
    if (busy_)
        return;
    lstFile[0]->setEnabled(!chkEntireDir->isChecked());
}

QByteArray frmCopy::BuildSelectedFileList(int k) const
{
    QByteArray folder = lstFile[size_t(k)]->path();
    if (!folder.endsWith('/'))
        folder += '/';
    QByteArray list;
    for (const QByteArray &name : lstFile[size_t(k)]->selectedNames())
        list += folder + name + '\0';
    return list;
}

int frmCopy::operationFlags() const
{
    int flags = 0;
    if (chkUndo->isChecked())
        flags += FileOperation::AllowUndo;
    if (!chkShowDlg->isChecked())
        flags += FileOperation::Silent;
    if (chkRename->isChecked())
        flags += FileOperation::RenameOnCollision;
    if (!chkConfirmOp->isChecked())
        flags += FileOperation::NoConfirmation;
    if (!chkConfirmMkDir->isChecked())
        flags += FileOperation::NoConfirmMkdir;
    if (!chkShowFile->isChecked())
        flags += FileOperation::SimpleProgress;
    return flags;
}

void frmCopy::cmdExecute_Click(int i)
{
    // One operation at a time: its questions and progress run the event loop,
    // and nothing that arrives through it may start another.
    if (busy_)
        return;
    const BusyWhile busy(busy_, cmdExecute);
    WindowPlacement &placement = main_.placement();
    // The confirmations and the progress must be able to come to the front.
    placement.SetWindowTopmost(this, false);
    const int code = i == 0 ? FileOperation::Copy : i == 1 ? FileOperation::Move : FileOperation::Delete;
    const QByteArray sourceFolder = lstFile[0]->path();
    if (::chdir(sourceFolder.constData()) != 0) {
        inform(kNotCompleted);
        placement.SetWindowTopmost(this, true);
        return;
    }
    const QByteArray from = chkEntireDir->isChecked() ? sourceFolder + '\0' : BuildSelectedFileList(0);
    if (from.isEmpty()) {
        inform(kNoFiles);
        placement.SetWindowTopmost(this, true);
        return;
    }
    const QByteArray to = lstFile[1]->path() + '\0';
    // The lists end with one more NUL.
    if (operation_->SHFileOperation(code, from + '\0', to + '\0', operationFlags()) != 0) {
        inform(kNotDone);
        placement.SetWindowTopmost(this, true);
    }
    // Both sides show the new contents: one reading of each folder serves its
    // folder list and its file list, which keeps its selection.
    for (int k = 0; k < 2; ++k) {
        lstDir[size_t(k)]->refresh();
        if (lstDir[size_t(k)]->path() != lstFile[size_t(k)]->path() || !showFiles(k))
            lstFile[size_t(k)]->refresh();
    }
    placement.SetWindowTopmost(this, true);
}
