// The game's screen as the page's own text. It keeps a model of the 80 by 25
// console the game was written for (its cells, its cursor, the few control
// sequences the game and the line editor send) and keeps the lines that
// scroll off its top, or that a clear takes away, above it to scroll back.
// The style sheet shows the same lines as the console's rows on a wide
// window and as wrapping text on a narrow one: a line that ran past the
// console's last column is one line of the page, its rows spans in it.

const COLUMNS = 80;
const ROWS = 25;
// Lines kept above the screen; a long game would otherwise grow the page
// without end.
const HISTORY_LIMIT = 2000;

function blankRow() {
  return { cells: new Array(COLUMNS).fill(' '), wrapped: false };
}

function escapeHtml(text) {
  return text.replace(/[&<>]/g, (c) => (c === '&' ? '&amp;' : c === '<' ? '&lt;' : '&gt;'));
}

function isBlank(row) {
  return row.cells.every((cell) => cell === ' ');
}

// The row's text; its trailing blanks only matter where the line goes on
// in the next row, or where the cursor stands in them.
function rowText(row, keepAll, keepTo) {
  const text = row.cells.join('');
  if (keepAll) return text;
  const trimmed = text.replace(/ +$/, '');
  return keepTo > trimmed.length ? text.slice(0, keepTo) : trimmed;
}

function leadingSpaces(text) {
  return text.length - text.replace(/^ +/, '').length;
}

// A line of the page from console rows: the first row's indent apart, so
// a narrow window can keep it as a share of the width.
function lineHtml(texts, lead, classes, cursorRow, cursorColumn) {
  let html = `<div class="line${classes}" style="--lead:${lead}">`;
  texts.forEach((text, index) => {
    let cells = [...text];
    let body;
    if (index === cursorRow) {
      while (cells.length <= cursorColumn) cells.push(' ');
      body = escapeHtml(cells.slice(0, cursorColumn).join('')) +
        `<span class="cursor">${escapeHtml(cells[cursorColumn])}</span>` +
        escapeHtml(cells.slice(cursorColumn + 1).join(''));
      if (index === 0 && lead) body = body.replace(/^ +/, (spaces) => `<span class="lead">${spaces}</span>`);
    } else if (index === 0 && lead) {
      body = `<span class="lead">${' '.repeat(lead)}</span>` + escapeHtml(cells.slice(lead).join(''));
    } else {
      body = escapeHtml(cells.join(''));
    }
    html += `<span class="row">${body}</span>`;
  });
  return html + '</div>';
}

// element: the screen; onBell: called for the console's bell.
export function createScreen(element, onBell) {
  const history = document.createElement('div');
  history.className = 'history';
  const now = document.createElement('div');
  now.className = 'now';
  element.append(history, now);

  let rows;
  let row;
  let column;
  let pendingWrap;
  let decoder;
  let escape;
  let spoken;
  let dirty;
  let cursorShown = false;

  function reset() {
    rows = Array.from({ length: ROWS }, blankRow);
    row = 0;
    column = 0;
    // A character in the last column leaves the cursor there until the
    // next one, as terminals do, so a full line and its newline take one
    // row, not two.
    pendingWrap = false;
    decoder = new TextDecoder('utf-8');
    escape = null;
    spoken = '';
    dirty = true;
    history.textContent = '';
  }

  // ---- What scrolls away ------------------------------------------------

  // A row that goes on from the one before joins that line.
  function keepLine(text, continuesLast) {
    const line = history.lastElementChild;
    if (continuesLast && line && line.classList.contains('line')) {
      line.insertAdjacentHTML('beforeend', `<span class="row">${escapeHtml(text)}</span>`);
      if (text.trim()) line.classList.remove('blank');
    } else {
      const lead = text.trim() ? leadingSpaces(text) : 0;
      history.insertAdjacentHTML('beforeend', lineHtml([text], lead, text.trim() ? '' : ' blank', -1, 0));
    }
    while (history.childElementCount > HISTORY_LIMIT) history.firstElementChild.remove();
  }

  // A row leaving the screen joins the line it continues, if it does.
  function retire(leaving, next) {
    keepLine(rowText(leaving, Boolean(next && next.wrapped), 0), leaving.wrapped);
  }

  function scrollUp() {
    retire(rows[0], rows[1]);
    rows.shift();
    rows.push(blankRow());
  }

  // What was on the screen stays above it, marked off from the screen
  // that follows.
  function clearAll() {
    let last = ROWS - 1;
    while (last >= 0 && isBlank(rows[last])) --last;
    for (let index = 0; index <= last; ++index) retire(rows[index], index < last ? rows[index + 1] : null);
    if (last >= 0) history.insertAdjacentHTML('beforeend', '<hr class="cleared">');
    rows = Array.from({ length: ROWS }, blankRow);
    spoken += '\n';
  }

  // ---- The console ------------------------------------------------------

  function lineFeed() {
    if (row === ROWS - 1) scrollUp();
    else ++row;
  }

  function put(character) {
    if (pendingWrap) {
      pendingWrap = false;
      column = 0;
      lineFeed();
      rows[row].wrapped = true;
    }
    rows[row].cells[column] = character;
    if (column === COLUMNS - 1) pendingWrap = true;
    else ++column;
  }

  function goTo(newRow, newColumn) {
    const clampedRow = Math.min(Math.max(newRow, 0), ROWS - 1);
    if (clampedRow !== row) spoken += '\n';
    row = clampedRow;
    column = Math.min(Math.max(newColumn, 0), COLUMNS - 1);
    pendingWrap = false;
  }

  function blankCells(fromRow, fromColumn, toRow, toColumn) {
    for (let r = fromRow; r <= toRow; ++r) {
      const first = r === fromRow ? fromColumn : 0;
      const last = r === toRow ? toColumn : COLUMNS - 1;
      for (let c = first; c <= last; ++c) rows[r].cells[c] = ' ';
      if (first === 0) rows[r].wrapped = false;
    }
  }

  function controlSequence(parameters, final) {
    const numbers = parameters.split(';').map((part) => parseInt(part, 10));
    const first = Number.isNaN(numbers[0]) ? 0 : numbers[0];
    const count = Math.max(first, 1);
    switch (final) {
      case 'H':
      case 'f':
        goTo(count - 1, (Number.isNaN(numbers[1]) ? 1 : Math.max(numbers[1], 1)) - 1);
        break;
      case 'J':
        if (first === 2) clearAll();
        else if (first === 0) blankCells(row, column, ROWS - 1, COLUMNS - 1);
        else if (first === 1) blankCells(0, 0, row, column);
        break;
      case 'K':
        if (first === 0) blankCells(row, column, row, COLUMNS - 1);
        else if (first === 1) blankCells(row, 0, row, column);
        else if (first === 2) blankCells(row, 0, row, COLUMNS - 1);
        break;
      case 'A':
        goTo(row - count, column);
        break;
      case 'B':
        goTo(row + count, column);
        break;
      case 'C':
        column = Math.min(column + count, COLUMNS - 1);
        pendingWrap = false;
        break;
      case 'D':
        column = Math.max(column - count, 0);
        pendingWrap = false;
        break;
      default:
        // Colours, modes and the like: nothing the game sends.
        break;
    }
  }

  function take(character, speaks) {
    if (escape !== null) {
      if (escape === '') {
        escape = character === '[' ? '[' : null;
      } else if (character >= '@' && character <= '~') {
        controlSequence(escape.slice(1), character);
        escape = null;
      } else {
        escape += character;
      }
      return;
    }
    switch (character) {
      case '\x1b':
        escape = '';
        return;
      case '\n':
        // The game writes bare newlines, as a terminal's line discipline
        // turns into a return and a line feed.
        pendingWrap = false;
        column = 0;
        lineFeed();
        break;
      case '\r':
        pendingWrap = false;
        column = 0;
        return;
      case '\b':
        pendingWrap = false;
        column = Math.max(column - 1, 0);
        return;
      case '\t':
        column = Math.min((Math.floor(column / 8) + 1) * 8, COLUMNS - 1);
        break;
      case '\x07':
        onBell();
        return;
      case '\x1e':
        // The nine messages with this byte show it as the console's font
        // draws it.
        put('\u25b2');
        character = '\u25b2';
        break;
      default:
        if (character < ' ' || character === '\x7f') return;
        put(character);
    }
    if (speaks) spoken += character;
  }

  // The game's bytes; `speaks` is false for the echo of what the player
  // typed, which is the player's, not the game's.
  function write(bytes, speaks) {
    const text = decoder.decode(bytes, { stream: true });
    for (const character of text) take(character, speaks);
    if (text) dirty = true;
  }

  // What the game has said since the last call, as plain lines: the words
  // of a laid-out screen in the order the game placed them.
  function takePassage() {
    const text = spoken.split('\n').map((line) => line.replace(/\s+$/, '').replace(/^\s+/, ''))
      .join('\n').replace(/\n{3,}/g, '\n\n').trim();
    spoken = '';
    return text;
  }

  // ---- Drawing ----------------------------------------------------------

  function draw(showCursor) {
    if (!dirty && cursorShown === showCursor) return;
    dirty = false;
    cursorShown = showCursor;
    let lastUsed = row;
    for (let index = ROWS - 1; index > lastUsed; --index) {
      if (!isBlank(rows[index])) {
        lastUsed = index;
        break;
      }
    }
    let html = '';
    for (let first = 0; first < ROWS;) {
      let end = first + 1;
      while (end < ROWS && rows[end].wrapped) ++end;
      const texts = [];
      for (let index = first; index < end; ++index) {
        texts.push(rowText(rows[index], index + 1 < end, index === row && showCursor ? column + 1 : 0));
      }
      const cursorRow = showCursor && row >= first && row < end ? row - first : -1;
      const hasText = texts.some((text) => text.trim());
      let lead = hasText ? leadingSpaces(texts[0]) : 0;
      if (cursorRow === 0) lead = Math.min(lead, column);
      let classes = '';
      if (!hasText && cursorRow < 0) classes += ' blank';
      if (first > lastUsed) classes += ' unused';
      html += lineHtml(texts, lead, classes, cursorRow, column);
      first = end;
    }
    now.innerHTML = html;
  }

  function scrollToEnd() {
    element.scrollTop = element.scrollHeight;
  }

  // The cursor's line up to the cursor, from the row where it began: the
  // question being asked, even where a long name ran it past the edge.
  function cursorLine() {
    let first = row;
    while (first > 0 && rows[first].wrapped) --first;
    let text = '';
    for (let index = first; index < row; ++index) text += rows[index].cells.join('');
    return text + rows[row].cells.slice(0, pendingWrap ? COLUMNS : column).join('');
  }

  reset();
  return { reset, write, takePassage, draw, scrollToEnd, cursorLine };
}
