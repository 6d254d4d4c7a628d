#pragma once

#include <QString>

class QUrl;

class BrowserWindow;

// The site's sign-in page as a hidden browser window meets it: the markers that tell its pages apart,
// the page text they are searched in, and the form that takes the user name and password. The password
// goes into the form only while the window shows a page of the sign-in host itself (its scheme, host and
// port) whose form posts back to that host, never to a page that another host served or to a form that
// posts elsewhere; the form is submitted only if it still posts there at that moment.
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
    // Whether `address` has the scheme, host and port of the sign-in host.
    static bool isSignInHost(const QUrl& address);
    // Whether the window's current address has the scheme, host and port of the sign-in host.
    static bool isOnSignInHost(const BrowserWindow& window);
    // Whether the page has the form "SignInForm" and it posts to anywhere but the sign-in host (its
    // action resolved against the page; no action is the page's own address).
    static bool formPostsElsewhere(const BrowserWindow& window);
    // Fills the form "SignInForm": userid, pass and keepMeSignInOption "1". Refuses (error 11) off the
    // sign-in host or when the form posts elsewhere, before anything is filled in; a missing form or field
    // throws.
    static void fill(BrowserWindow& window, const QString& username, const QString& password);
    // Submits the form "SignInForm" if it still posts to the sign-in host; otherwise the window raises
    // SubmitRefused and nothing is posted. A missing form throws.
    static void submit(BrowserWindow& window);
};
