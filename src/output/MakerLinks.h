#pragma once

// The maker's addresses and the operations that open them: mail links in the default mail program, web
// pages in the default browser. They go through openUrl (common/FileHelpers.h), whose opener tests replace.
// Opening cannot fail visibly: a failure is written to the log.

#include <QUrl>

namespace MakerLinks {
QUrl supportMail();
QUrl resellerMail(); // with a prepared subject and body asking about partnership
QUrl website(int n); // 1..3
QUrl googlePlusShare();
QUrl facebookShare();
QUrl twitterShare();
QUrl facebookLike();
QUrl commentsPage();
QUrl reviewPage();
} // namespace MakerLinks

bool Open_Support_Mail();
bool Open_Reseller_Mail();
bool Open_Website_1();
bool Open_Website_2();
bool Open_Website_3();
bool Open_Google_Plus();
bool Open_FaceBook();
bool Open_Twitter();
bool Open_FB_Like();
bool Open_Share_It_Dl();
bool Open_Review_Page();
