#include "FormFields.h"

#include "IntegerField.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMessageBox>

void CheckOnly(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

bool ReadNumberBox(QWidget* owner, QLineEdit* edit, const QString& field, int min, int max,
                   RangeMessage message, int& value) {
    const IntegerField parsed = ParseIntegerField(edit->text().toStdString(), min, max);
    if (parsed.error == FieldError::None) {
        value = parsed.value;
        return true;
    }
    const QString problem =
        message == RangeMessage::WhenInteger && parsed.error == FieldError::NotInteger
            ? QStringLiteral("Please enter an integer.")
            : QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max);
    QMessageBox::warning(owner, owner->windowTitle(), field + QStringLiteral(": ") + problem);
    edit->setFocus();
    edit->selectAll();
    return false;
}
