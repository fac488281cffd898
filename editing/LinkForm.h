// The frameless, draggable left/right link dialog: reference side, linked groups and the apply button.
#pragma once

#include <QDialog>
#include <QPoint>
#include <cstdint>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TuningModel;

class LinkForm : public QDialog
{
    Q_OBJECT
public:
    // Texts in the given language (0 = Chinese).
    LinkForm(TuningModel &model, uint8_t language, QWidget *parent = nullptr);

    QLineEdit *lineEdit = nullptr;    // heading
    QLineEdit *lineEdit_2 = nullptr;  // heading of the reference group
    QLineEdit *lineEdit_3 = nullptr;  // heading of the parameter group
    QGroupBox *groupBox = nullptr;
    QGroupBox *groupBox_2 = nullptr;
    QRadioButton *radioButton_1 = nullptr;  // reference: left
    QRadioButton *radioButton_2 = nullptr;  // reference: right
    QRadioButton *radioButton_3 = nullptr;  // filters only
    QRadioButton *radioButton_4 = nullptr;  // equaliser only
    QRadioButton *radioButton_5 = nullptr;  // equaliser and filters
    QPushButton *pushButton = nullptr;      // apply
    QPushButton *BT_CLOSE = nullptr;

signals:
    // A link was made; ch is the channel the main window should show.
    void LinkForm_ChangeEvent(uint8_t ch);

public slots:
    void on_BT_CLOSE_clicked();
    void on_radioButton_1_clicked();
    void on_radioButton_2_clicked();
    void on_radioButton_3_clicked();
    void on_radioButton_4_clicked();
    void on_radioButton_5_clicked();
    void on_pushButton_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TuningModel &model_;
    QPoint dragOffset_;
};
