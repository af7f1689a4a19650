// The real modal windows behind the window's questions.
#include "app/user_dialogs.h"

#include "app/export_frm.h"
#include "app/load_frm.h"
#include "app/qt_translation.h"
#include "lang/message_ids.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace vorn::app {

namespace {

// Button keys of the message-box table.
constexpr int kButtonYes = 0, kButtonNo = 1, kButtonOk = 2, kButtonCancel = 3;

int captionIndex(core::BoxKind kind) {
    switch (kind) {
    case core::BoxKind::Warning:
        return 0;
    case core::BoxKind::Error:
        return 1;
    case core::BoxKind::Information:
        return 2;
    case core::BoxKind::Confirmation:
        return 3;
    }
    return 4;
}

QMessageBox::Icon boxIcon(core::BoxKind kind) {
    switch (kind) {
    case core::BoxKind::Warning:
        return QMessageBox::Warning;
    case core::BoxKind::Error:
        return QMessageBox::Critical;
    case core::BoxKind::Information:
        return QMessageBox::Information;
    case core::BoxKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString button(const lang::MessageTable& messages, int index) {
    return QString::fromStdString(messages.button(index));
}

// A save dialog that puts the typed name right before Qt checks it (and asks about replacing).
class NamingFileDialog : public QFileDialog {
  public:
    NamingFileDialog(QWidget* parent, const QString& title,
                     std::function<QString(const QString&)> correct)
        : QFileDialog(parent, title), m_correct(std::move(correct)) {
        // Qt's own dialog, whose accepting passes here before its question about replacing.
        if (m_correct) setOption(QFileDialog::DontUseNativeDialog);
    }
    void accept() override {
        const QStringList files = selectedFiles();
        if (m_correct && files.size() == 1 && !QFileInfo(files.first()).isDir()) {
            const QString corrected = m_correct(files.first());
            if (corrected != files.first()) selectFile(corrected);
        }
        QFileDialog::accept();
    }

  private:
    std::function<QString(const QString&)> m_correct;
};

QString fileDialog(QWidget* parent, const lang::MessageTable& messages, bool save,
                   const QString& title, const QString& filter, const QString& suffix,
                   const QString& preset, std::function<QString(const QString&)> correct = {}) {
    NamingFileDialog dialog(parent, title, std::move(correct));
    dialog.setObjectName(save ? "SaveDialog1" : "OpenDialog1");
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Without Qt's catalogue for the interface language its buttons would speak English
    // (set after the mode, which makes the buttons anew).
    if (!QtTextsTranslated()) {
        dialog.setLabelText(QFileDialog::Accept, button(messages, kButtonOk));
        dialog.setLabelText(QFileDialog::Reject, button(messages, kButtonCancel));
    }
    if (!preset.isEmpty()) {
        const QFileInfo info(preset);
        dialog.setDirectory(info.absolutePath());
        if (save) dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

} // namespace

bool InputBox(QWidget* parent, const lang::MessageTable& messages, const QString& title,
              const QString& prompt, QString& text) {
    QInputDialog box(parent);
    box.setObjectName("InputBox");
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(text);
    // The buttons of the program's own boxes, so that both speak the interface language.
    box.setOkButtonText(button(messages, kButtonOk));
    box.setCancelButtonText(button(messages, kButtonCancel));
    if (box.exec() != QDialog::Accepted) return false;
    text = box.textValue();
    return true;
}

bool UserDialogs::exportOptions(ExportOptions&, int,
                                const std::function<fig::Figure(const ExportOptions&)>&) {
    return true;
}

QString UserDialogs::exportFileName(const QString& title, const QString& filter,
                                    const ExportOptions& options, const QString& preset) {
    return WithExportSuffix(saveFileName(title, filter, ExportSuffix(options.format), preset),
                            options.format);
}

bool UserDialogs::printSetup(QPrinter& printer, PrintOptions&) {
    // Without a dialog there is only the file the printer was already given to print into.
    return !printer.outputFileName().isEmpty();
}

void UserDialogs::openDocument(const QString& path, const std::function<void()>& failed) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) failed();
}

WidgetDialogs::WidgetDialogs(QWidget* parent, const lang::MessageTable& messages)
    : m_parent(parent), m_messages(messages), m_loadFrm(new TLoadFrm(parent)),
      m_exportFrm(new TExportFrm(parent)), m_printFrm(new TPrintFrm(parent)) {}

QString WidgetDialogs::openFileName(const QString& title, const QString& filter,
                                    const QString& defaultSuffix, const QString& preset) {
    return fileDialog(m_parent, m_messages, false, title, filter, defaultSuffix, preset);
}

QString WidgetDialogs::saveFileName(const QString& title, const QString& filter,
                                    const QString& defaultSuffix, const QString& preset) {
    return fileDialog(m_parent, m_messages, true, title, filter, defaultSuffix, preset);
}

QString BoxText(const QString& text) {
    QString shown = text;
    for (int i = 1; i < shown.size(); ++i)
        if ((shown[i] == u'?' || shown[i] == u'!') && shown[i - 1] == u' ')
            shown[i - 1] = QChar(0x00A0);
    return shown;
}

core::Answer WidgetDialogs::messageBox(core::BoxKind kind, const QString& text,
                                       BoxButtons buttons) {
    auto localized = [this](int i) { return button(m_messages, i); };
    QMessageBox box(boxIcon(kind), QString::fromStdString(m_messages.caption(captionIndex(kind))),
                    BoxText(text), QMessageBox::NoButton, m_parent);
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == BoxButtons::Ok) {
        box.addButton(localized(kButtonOk), QMessageBox::AcceptRole);
    } else if (buttons == BoxButtons::SaveDiscardCancel) {
        yes = box.addButton(QString::fromStdString(m_messages.text(lang::msg::kButtonSave)),
                            QMessageBox::AcceptRole);
        no = box.addButton(QString::fromStdString(m_messages.text(lang::msg::kButtonDiscard)),
                           QMessageBox::DestructiveRole);
        cancel = box.addButton(localized(kButtonCancel), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
    } else {
        yes = box.addButton(localized(kButtonYes), QMessageBox::YesRole);
        no = box.addButton(localized(kButtonNo), QMessageBox::NoRole);
        if (buttons == BoxButtons::YesNoCancel)
            cancel = box.addButton(localized(kButtonCancel), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel ? cancel : no);
    }
    box.exec();
    if (buttons == BoxButtons::Ok) return core::Answer::Yes;
    if (box.clickedButton() == yes) return core::Answer::Yes;
    if (box.clickedButton() == no) return core::Answer::No;
    return cancel ? core::Answer::Cancel : core::Answer::No;
}

void WidgetDialogs::openDocument(const QString& path, const std::function<void()>& failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        // Without a parent: a handler xdg-open waits for may outlive the window. The window is
        // the context, so that no answer reaches it once it is gone.
        auto* process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, m_parent,
                         [process, failed](int code, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if (status != QProcess::NormalExit || code != 0) failed();
                         });
        QObject::connect(process, &QProcess::errorOccurred, m_parent,
                         [process, failed](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart) return;
                             process->deleteLater();
                             failed();
                         });
        process->start(opener, {path});
        return;
    }
#endif
    UserDialogs::openDocument(path, failed);
}

bool WidgetDialogs::selectObjects(core::LoadSelection& selection) {
    m_loadFrm->setSelection(selection);
    if (m_loadFrm->exec() != QDialog::Accepted) return false;
    m_loadFrm->takeSelection(selection);
    return true;
}

bool WidgetDialogs::exportOptions(ExportOptions& options, int pictureWidth,
                                  const std::function<fig::Figure(const ExportOptions&)>& preview) {
    return m_exportFrm->ask(options, pictureWidth, preview);
}

QString WidgetDialogs::exportFileName(const QString& title, const QString& filter,
                                      const ExportOptions& options, const QString& preset) {
    const ExportOptions::Format format = options.format;
    const QString name =
        fileDialog(m_parent, m_messages, true, title, filter, ExportSuffix(format), preset,
                   [format](const QString& typed) { return WithExportSuffix(typed, format); });
    return WithExportSuffix(name, format);
}

bool WidgetDialogs::printSetup(QPrinter& printer, PrintOptions& options) {
    QPrintDialog dialog(&printer, m_parent);
    m_printFrm->setChoice(options);
    dialog.setOptionTabs({m_printFrm});
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The page goes back to being a window of its own before the dialog, which took it, ends.
    m_printFrm->setParent(m_parent, Qt::Window);
    if (!accepted) return false;
    options = m_printFrm->choice();
    return true;
}

} // namespace vorn::app
