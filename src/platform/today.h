#pragma once

#include <QString>

// Today's date in the user's locale, short form, for the status bar.
QString todayShortText();
