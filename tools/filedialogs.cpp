#include "tools/filedialogs.h"

#include <QFileDialog>

namespace FileDialogs {

namespace {

Chooser openChooser;
Chooser saveChooser;

}  // namespace

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return entries.join(QStringLiteral(";;"));
}

QString chooseOpen(QWidget* parent, const Request& request) {
    if (openChooser)
        return openChooser(parent, request);
    return QFileDialog::getOpenFileName(parent, request.title, request.directory,
                                        qtFilter(request.filter));
}

QString chooseSave(QWidget* parent, const Request& request) {
    if (saveChooser)
        return saveChooser(parent, request);
    return QFileDialog::getSaveFileName(parent, request.title, request.directory,
                                        qtFilter(request.filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

void setOpenChooser(Chooser chooser) {
    openChooser = std::move(chooser);
}

void setSaveChooser(Chooser chooser) {
    saveChooser = std::move(chooser);
}

}  // namespace FileDialogs
