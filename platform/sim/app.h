// The terminal application's entry, called once by the start-up code; the
// application ends when it returns.
#pragma once

int htmain();
