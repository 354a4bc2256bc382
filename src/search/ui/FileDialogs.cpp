#include "search/ui/FileDialogs.h"

#include "search/ui/FileContextMenu.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumar {

namespace {

QString sizeText(std::uintmax_t bytes) {
    const QLocale locale;
    const QString exact =
        locale.toString(static_cast<qulonglong>(bytes)) + QStringLiteral(" bytes");
    if (bytes < 1024) return exact;
    return locale.formattedDataSize(static_cast<qint64>(bytes), 1,
                                    QLocale::DataSizeTraditionalFormat) +
           QStringLiteral(" (") + exact + QLatin1Char(')');
}

}  // namespace

TOpenWithDialog::TOpenWithDialog(const std::string& file,
                                 std::vector<doorwell::DesktopEntry> applications, QWidget* parent)
    : QDialog(parent), file_(file), applications_(std::move(applications)) {
    setObjectName(QStringLiteral("OpenWithDialog"));
    setWindowTitle(QStringLiteral("Open With"));
    auto* layout = new QVBoxLayout(this);
    const std::size_t slash = file.rfind('/');
    const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    auto* caption = new QLabel(QStringLiteral("Open \"%1\" with:").arg(displayName(base)), this);
    caption->setToolTip(displayName(file));
    caption->setTextFormat(Qt::PlainText);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    ui.lstApplications = new QListWidget(this);
    ui.lstApplications->setObjectName(QStringLiteral("lstApplications"));
    for (const auto& app : applications_) {
        auto* item = new QListWidgetItem(QString::fromStdString(app.name), ui.lstApplications);
        item->setToolTip(QString::fromStdString(app.id));
    }
    if (!applications_.empty()) ui.lstApplications->setCurrentRow(0);
    layout->addWidget(ui.lstApplications, 1);
    auto* commandLabel = new QLabel(QStringLiteral("Or type a &command (%f stands for the file, "
                                                   "else it is added at the end):"),
                                    this);
    commandLabel->setWordWrap(true);
    ui.txtCommand = new QLineEdit(this);
    ui.txtCommand->setObjectName(QStringLiteral("txtCommand"));
    commandLabel->setBuddy(ui.txtCommand);
    layout->addWidget(commandLabel);
    layout->addWidget(ui.txtCommand);
    auto* buttons = new QDialogButtonBox(this);
    ui.OKBtn = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    ui.CancelBtn = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    ui.OKBtn->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui.lstApplications, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(420, 360);
}

doorwell::LaunchOutcome TOpenWithDialog::launch(doorwell::Launcher& launcher) const {
    const std::string command = ui.txtCommand->text().trimmed().toStdString();
    if (!command.empty()) return doorwell::openWithCommand(command, file_, launcher);
    const int row = ui.lstApplications->currentRow();
    if (row >= 0 && row < static_cast<int>(applications_.size()))
        return doorwell::openWithApplication(applications_[static_cast<std::size_t>(row)], file_,
                                             launcher);
    return {false, "Choose an application or type a command."};
}

TFilePropertiesDialog::TFilePropertiesDialog(const doorwell::FileProperties& p, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FilePropertiesDialog"));
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const auto add = [&](const QString& caption, const QString& value) {
        auto* label = new QLabel(value, this);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        form->addRow(caption, label);
        rows_.emplace_back(caption, label);
    };
    add(QStringLiteral("Name:"), displayName(p.name));
    add(QStringLiteral("Folder:"), displayName(p.folder));
    if (!p.linkTarget.empty()) add(QStringLiteral("Link to:"), displayName(p.linkTarget));
    add(QStringLiteral("Type:"), QString::fromStdString(p.type));
    if (!p.mimeType.empty() && p.mimeType != p.type)
        add(QStringLiteral("MIME type:"), QString::fromStdString(p.mimeType));
    add(QStringLiteral("Size:"), sizeText(p.size));
    add(QStringLiteral("Modified:"), QString::fromStdString(p.modified));
    add(QStringLiteral("Permissions:"), QString::fromStdString(p.permissions));
    add(QStringLiteral("Owner:"), QString::fromStdString(p.owner + ", group " + p.group));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(360);
}

QString TFilePropertiesDialog::valueOf(const QString& caption) const {
    for (const auto& [text, label] : rows_)
        if (text == caption) return label->text();
    return {};
}

}  // namespace vellumar
