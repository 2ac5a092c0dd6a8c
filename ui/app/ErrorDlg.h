#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The modal "Error" dialog: a message and one "Quit" button that closes it.
class CErrorDlg : public QDialog {
    Q_OBJECT

public:
    explicit CErrorDlg(const QString& message, QWidget* parent = nullptr);

    QString Message() const { return m_strMessage; }
    QPushButton* QuitButton() const { return m_pQuit; }

private:
    QString m_strMessage;
    QLabel* m_pText = nullptr;
    QPushButton* m_pQuit = nullptr;
};
