#pragma once

class QButtonGroup;
class QLineEdit;
class QString;
class QWidget;

// Helpers shared by the panel and the dialogs for their radio groups and number boxes.

// Checks button `id` of an exclusive group, or none when the group has no such button.
void CheckOnly(QButtonGroup* group, int id);

// How a refused number box is explained.
enum class RangeMessage {
    Always,      // "Please enter an integer between min and max." for any refusal
    WhenInteger, // "Please enter an integer." for text that is no whole number
};

// Reads the whole number in `edit` (min..max). A refusal warns "<field>: <problem>" in a
// message box owned by `owner`, then selects the box's text for correction.
bool ReadNumberBox(QWidget* owner, QLineEdit* edit, const QString& field, int min, int max,
                   RangeMessage message, int& value);
