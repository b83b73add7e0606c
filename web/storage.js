// The browser's storage for the site: 'local', kept from visit to visit, and
// 'session', which one tab carries over its reloads. A browser that keeps
// nothing, or refuses the page its storage, reads as one that has nothing
// kept, and takes nothing: with the site's data blocked, Chromium throws at
// the mere mention of window.localStorage, so no area is named outside a try.
function area(name) {
  return name === 'session' ? window.sessionStorage : window.localStorage;
}

export function fromStorage(name, key) {
  try {
    return area(name).getItem(key);
  } catch (e) {
    return null;
  }
}

// True when the browser took it.
export function toStorage(name, key, value) {
  try {
    area(name).setItem(key, value);
    return true;
  } catch (e) {
    return false;
  }
}

export function removeFromStorage(name, key) {
  try {
    area(name).removeItem(key);
  } catch (e) {
    // Nothing kept, nothing to take away.
  }
}

// Read once, then gone: what one page load hands the next.
export function takeFromStorage(name, key) {
  const value = fromStorage(name, key);
  if (value !== null) removeFromStorage(name, key);
  return value;
}

export function keysInStorage(name, prefix) {
  const keys = [];
  try {
    const stored = area(name);
    for (let i = 0; i < stored.length; i++) {
      const key = stored.key(i);
      if (key !== null && key.startsWith(prefix)) keys.push(key);
    }
  } catch (e) {
    // Nothing kept.
  }
  return keys;
}

// Whether the browser keeps anything for the site at all: storage blocked,
// or refused to the page, takes nothing. A full one still does, and says
// so when a game is saved.
export function storageKeeps() {
  const probe = 'quorrell.probe';
  try {
    area('local').setItem(probe, '1');
    area('local').removeItem(probe);
    return true;
  } catch (e) {
    return Boolean(e) && /quota/i.test(e.name);
  }
}

// The page's settings: kept when the browser lets it, else forgotten with
// the page.
export function storedSetting(name) {
  return fromStorage('local', 'quorrell.' + name);
}

export function storeSetting(name, value) {
  toStorage('local', 'quorrell.' + name, value);
}
