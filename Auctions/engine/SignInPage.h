#pragma once

#include <QString>

class BrowserWindow;

// The site's sign-in page as a hidden browser window meets it: the markers that tell its pages apart,
// the page text they are searched in, and the form that takes the user name and password. The password
// goes into the form only while the window shows a page of the sign-in host itself (its scheme, host and
// port), never to a page that another host served.
class SignInPage
{
public:
    static const QString SignedOutMarker; // "You Have Signed Out": the page to ask again
    static const QString FormMarker;      // "eBay User ID": the sign-in form
    static const QString InvalidMarker;   // "Your sign in information is not valid"
    static const QString SignedInMarker;  // "My eBay"

    // "<TITLE>" title "</TITLE><BODY>" inner HTML of the body "</BODY>" of the window's current page.
    static QString text(const BrowserWindow& window);
    // Whether `marker` stands anywhere in `pageText`, letter case ignored.
    static bool contains(const QString& pageText, const QString& marker);
    // Whether the window's current address has the scheme, host and port of the sign-in host.
    static bool isOnSignInHost(const BrowserWindow& window);
    // Fills the form "SignInForm": userid, pass and keepMeSignInOption "1". Refuses (error 11) off the
    // sign-in host, before anything is filled in; a missing form or field throws.
    static void fill(BrowserWindow& window, const QString& username, const QString& password);
    // Submits the form "SignInForm"; a missing form throws.
    static void submit(BrowserWindow& window);
};
