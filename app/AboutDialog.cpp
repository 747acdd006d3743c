#include "AboutDialog.h"

#include "OtdrIds.h"
#include "resources/ResourceIds.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent)
{
    otdrTagObject(this, otdr::ids::kAboutDialog);
    setWindowTitle(QStringLiteral("About Viewer"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/otdr.svg")).pixmap(QSize(48, 48)));
    auto* name = new QLabel(QStringLiteral("<b>OTDR</b>"), this);
    auto* version = new QLabel(QStringLiteral("Version 2.01(2016.08.07)"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    top->addSpacing(12);
    top->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setSizeGripEnabled(false);
}
