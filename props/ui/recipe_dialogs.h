#pragma once
// "配方管理" and "配方参数": the layout of a recipe definition. Neither reads nor writes the
// project; their results are ignored.
#include <QDialog>

class QTableWidget;

namespace qv {

class CDlgPeiFangParam : public QDialog {
    Q_OBJECT
public:
    explicit CDlgPeiFangParam(QWidget* parent = nullptr);
};

class CDlgPeiFangMgr : public QDialog {
    Q_OBJECT
public:
    explicit CDlgPeiFangMgr(QWidget* parent = nullptr);
    // "添加": the parameter dialog, run and discarded.
    void AddRecipe();
};

// The view's "配方管理": the management dialog, run and discarded.
void RunRecipeManager(QWidget* parent);

} // namespace qv
