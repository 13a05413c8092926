// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/AccountCodes.h"
#include "main/ui/AccountPictureHooks.h"

#include <QDialog>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace tilvo {

class Clock;
class DBCheckBox;
class DBEdit;
class DBImage;
class DBMemo;
class Prompts;
class TDataModule1;

// The account dialog `EnterAccount`, on the current row of `Account` (in editing), with the
// pages "Général" and "Personnalisé". The fields are bound to the row; the period, chart and
// value kinds and the colour are kept by the dialog and written by " &Ok", which then posts
// the row (an error keeps the dialog open, the row still in editing). " &Annuler" and the
// close box only close it: the caller undoes the row (CancelAccount). Opening it reads the
// dossier's custom captions, creating the dossier's caption row when it has none.
class TEnterAccount final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterAccount)

public:
    TEnterAccount(TDataModule1& dm, int dossierId, Prompts& prompts, const Clock& clock,
                  QWidget* parent = nullptr);
    ~TEnterAccount() override;

    // The AccountDialog of AddAccount and EditAccount: runs the dialog modally and says
    // whether it was confirmed.
    static bool Execute(TDataModule1& dm, int dossierId, Prompts& prompts, const Clock& clock,
                        const AccountPictureHooks& pictures, QWidget* parent);

    void setPictureHooks(const AccountPictureHooks& hooks) { m_pictures = hooks; }
    // What " &Ok" writes besides the bound fields.
    AccountCodes codes() const;
    qint64 swatchColor() const { return m_color; }

    QLabel* Title;
    QTabWidget* PageControl;

    // "Général".
    DBEdit* Ed_Title;
    DBEdit* Ed_Date;
    QToolButton* Btn_Date;
    QWidget* Pan_CadreMatPhoto;
    DBImage* ImgDB_Photo_Mini;
    QPushButton* Btn_Select_Img;
    QPushButton* Btn_Delete_Img;
    QMenu* Popup_Img;
    QAction* Popup_Img_Select;
    QAction* Popup_Img_Delete;
    QAction* Popup_Img_FullSize;
    QAction* Popup_Img_Print;
    QAction* Popup_Img_Save;
    DBEdit* Ed_Description;
    DBEdit* Ed_Unit;
    QToolButton* Btn_Edit_Unit;
    QToolButton* Btn_Unit;
    DBEdit* Ed_Decimal;
    QToolButton* Btn_Decimal;
    DBCheckBox* Check_Count;
    DBEdit* Ed_Count;
    DBMemo* DBMemo1;
    QLineEdit* Ed_PeriodType;
    QToolButton* Btn_PeriodType;
    QLineEdit* Ed_StatType;
    QToolButton* Btn_StatType;
    QLineEdit* Ed_ValueType;
    QToolButton* Btn_ValueType;
    DBCheckBox* Check_SetColor;
    QWidget* Pan_ColorStrip; // the four colours seen when the swatch is hidden
    QWidget* Pan_Color;
    QToolButton* Btn_Color;
    DBCheckBox* Check_AllColor;

    // "Personnalisé": Ed_Misc01 ... Ed_Misc05 at [0] ... [4], and so on.
    std::array<QLabel*, 7> Lab_Misc;
    std::array<DBEdit*, 5> Ed_Misc;
    std::array<QToolButton*, 5> Btn_Edit_Misc;
    std::array<QToolButton*, 5> Btn_Misc;
    DBMemo* Memo_Misc06;
    DBMemo* Memo_Divers07;

    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Ed_TitleChange();
    void Btn_DateClick();
    void Btn_UnitClick();
    void Btn_Edit_UnitClick();
    void Btn_DecimalClick();
    void Btn_PeriodTypeClick();
    void Btn_StatTypeClick();
    void Btn_ValueTypeClick();
    void Btn_MiscClick(int number);      // 1 ... 5
    void Btn_Edit_MiscClick(int number); // 1 ... 5
    void Lab_MiscDblClick(QLabel* caption);
    void Btn_ColorClick();
    void Btn_Select_ImgClick();
    void Btn_Delete_ImgClick();
    void ImgDB_Photo_MiniDblClick();
    void Popup_ImgPopup();
    void Popup_Img_PrintClick();
    void Popup_Img_SaveClick();
    // The colour enabling, redone whenever what it depends on changes.
    void RefreshColorControls();
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildCustomPage();
    void bindFields();
    void readCaptions();
    void loadCodes();
    void paintSwatch();
    // Runs a handler through the error guard.
    void guarded(const std::function<void()>& handler);

    TDataModule1& m_dm;
    int m_dossierId;
    Prompts& m_prompts;
    const Clock& m_clock;
    AccountPictureHooks m_pictures;
    qint64 m_color = 255;
};

} // namespace tilvo
