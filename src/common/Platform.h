// The platform's web hosts. The launcher talks to three of them; all paths
// and queries are fixed by the pages themselves.
//
// One override exists, for local runs and the tests: when the environment
// variable LGTARVO_PLATFORM_HOST is set (for example "127.0.0.1:8731"), every
// host below is that host instead. Nothing else in the program knows about it.
#pragma once

namespace platform {

// Login page.
const wchar_t* GameSiteHost();
// Statistics pages, update and game configurations, notice, game list page.
const wchar_t* ClientServiceHost();
// The game hall site opened in the user's browser by the channel shortcut.
const wchar_t* GameHallSite();

}  // namespace platform
