#pragma once

// The help window: opens the help document ("Help.pdf" of the resource folder) and the maker's support,
// web site, partner and sharing links; links without an address are hidden.

#include "output/MakerLinks.h"

#include <QDialog>
#include <QList>
#include <utility>

class QGroupBox;
class QPushButton;
class LinkButton;

class Help_Support : public QDialog {
    Q_OBJECT
public:
    explicit Help_Support(QWidget* parent = nullptr);

    // Runs the window modally and hides it afterwards; 1 when closed with its Close button.
    int Open_Wnd();

    void HelpFilePressed();
    void Facebook_Clicked();
    void Twitter_Clicked();
    void FB_Like_Clicked();

    LinkButton* _Help_File_Label;
    LinkButton* support_id;
    LinkButton* website_1;
    LinkButton* reseller_1;
    QPushButton* closeButton;

private:
    void updateLinks();

    QGroupBox* _share;
    QList<std::pair<QPushButton*, MakerLinks::Link>> _links;
};
