// What the whole page knows of the game playing now: whether it runs, and
// what it waits for (src/platform/web/web.cpp says which).
export const AWAIT_NOTHING = 0;
export const AWAIT_KEY = 1;
export const AWAIT_COMMAND = 2;
export const AWAIT_ANSWER = 3;

export const game = {
  running: false,
  // Counts the games started on the page: the one playing is the last.
  generation: 0,
  waitingFor: AWAIT_NOTHING,
};

export const byId = (id) => document.getElementById(id);
