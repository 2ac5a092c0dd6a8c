#pragma once

#include "ModalWatch.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// Answers the next file dialog with `path`, typed into its file name box, and reports the
// dialog's name filter in `filter`. The dialog also reads the selection of its folder view,
// which loads in the background, so the answer is given again until the dialog reports that
// file.
[[nodiscard]] inline ModalWatch<QFileDialog> AnswerFileDialog(const QString& path,
                                                              QString* filter = nullptr) {
    return ModalWatch<QFileDialog>([path, filter](QFileDialog* dialog) {
        if (filter)
            *filter = dialog->selectedNameFilter();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            dialog->selectFile(path);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            const QStringList files = dialog->selectedFiles();
            return files.size() == 1 && files[0].startsWith(path);
        }));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept checks the name
    });
}
