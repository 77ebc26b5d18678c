#include "ui/shell/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/shell/tray_icon.h"

namespace {

// The box's 235 x 55 dialog units at the standard dialog font.
constexpr int BoxWidth = 353;
constexpr int BoxHeight = 90;
constexpr int IconSize = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QString::fromUtf8(AboutCaption));
    setModal(true);

    // The program's own icon: the box names one the program does not have.
    icon_ = new QLabel(this);
    icon_->setPixmap(ui::ProgramIcon().pixmap(IconSize, IconSize));
    icon_->setFixedSize(IconSize, IconSize);

    auto* texts = new QVBoxLayout;
    texts->addWidget(new QLabel(QString::fromUtf8(AboutVersionText), this));
    texts->addWidget(new QLabel(QString::fromUtf8(AboutSecondLine), this));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { done(1); });  // IDOK

    auto* row = new QHBoxLayout(this);
    row->addWidget(icon_, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    row->addWidget(ok_, 0, Qt::AlignTop);
    resize(BoxWidth, BoxHeight);
}
