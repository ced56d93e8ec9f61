#include "settings/DialogApplicationPicker.h"

#include "settings/AppPickerDialog.h"

namespace nudgewatch {

void DialogApplicationPicker::pick(QWidget *parent, int limit, const QStringList &tracked,
                                   std::function<void(const QStringList &)> chosen)
{
    auto *dialog = new AppPickerDialog(m_catalog, m_icons, limit, tracked, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [dialog, chosen = std::move(chosen)] { chosen(dialog->chosenPaths()); });
    dialog->open();
}

} // namespace nudgewatch
