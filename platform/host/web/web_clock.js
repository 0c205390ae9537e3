// web_clock.js -- the program's monotonic clock in a page (clock_gettime, and with it steady_clock
// and QueryPerformanceCounter): the page's clock, page.now() in page/vorlash-page.js, which keeps the
// page's refreshes on the whole sixtieths of a second the frame pacer waits for. A module without a
// page (a program under node) keeps emscripten's own clock.
mergeInto(LibraryManager.library, {
  emscripten_get_now: function() {
    return Module.page ? Module.page.now() : performance.now();
  },
});
