// The browser's storage for the site. A browser that keeps nothing, or
// refuses the page its storage, reads as one that has nothing kept.
export function fromStorage(area, key) {
  try {
    return area.getItem(key);
  } catch (e) {
    return null;
  }
}

export function removeFromStorage(area, key) {
  try {
    area.removeItem(key);
  } catch (e) {
    // Nothing kept, nothing to take away.
  }
}

// The page's settings: kept when the browser lets it, else forgotten with
// the page.
export function storedSetting(name) {
  return fromStorage(localStorage, 'quorrell.' + name);
}

export function storeSetting(name, value) {
  try {
    localStorage.setItem('quorrell.' + name, value);
  } catch (e) {
    // A browser that keeps nothing forgets the choice with the page.
  }
}
