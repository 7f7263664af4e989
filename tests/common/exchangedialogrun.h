#pragma once

#include "exchange/dialog/tfrimportexport.h"
#include "main/window/tform1.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

// Opens the import or export dialog from the toolbar, ticks every row, sets the merge box and presses
// the button once, then closes the dialog. False when the dialog did not come up.
inline bool runExchangeFromToolbar(vellumite::TForm1 &form, bool import, bool merge)
{
    bool ran = false;
    QTimer::singleShot(0, &form, [&] {
        vellumite::TfrImportExport *dialog = form.frImportExport;
        if (!dialog)
            return;
        for (int row = 0; row < dialog->VTSync1->topLevelItemCount(); ++row)
            dialog->VTSync1->topLevelItem(row)->setCheckState(0, Qt::Checked);
        dialog->cbMergeBookmarks->setChecked(merge);
        QTest::mouseClick(dialog->btImportExport, Qt::LeftButton);
        ran = true;
        dialog->reject();
    });
    if (import)
        form.ToolBarImportClick();
    else
        form.ToolBarExportClick();
    return ran;
}
