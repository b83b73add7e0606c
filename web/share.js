// A game carried in a link: the page's address, "#r=", then the record
// deflated (raw) in base64url without padding, the very link that
// quorrell --share prints. What follows '#' never leaves the browser, so the
// game goes to no server. The Share button makes one of the game on the
// page, copies it and shows it.
import { backToCommandLine } from './command_line.js';
import { say } from './display.js';
import { addGameAction, closeAnd } from './games_panel.js';
import { byId } from './state.js';

// Longer links are refused: no browser keeps more in its address.
export const MAX_LINK = 2 * 1024 * 1024;
// A record of a long game is some kilobytes. A link that unpacks to more
// than this is no game, and is not unpacked further (a deflate bomb must not
// eat the tab's memory).
const MAX_RECORD = 8 * 1024 * 1024;
// Fed to the decompressor this much at a time, so that one write can
// unpack to a megabyte at the most before the limit is looked at.
const SLICE = 1024;

const shareButton = byId('share');
const sharePanel = byId('share-panel');
const shareField = byId('share-link');

function toBase64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 8192) {
    binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The bytes through a compression stream, written a slice at a time and
// read as they come; more than limit bytes out is an error.
async function throughStream(bytes, transform, limit) {
  const writer = transform.writable.getWriter();
  const reader = transform.readable.getReader();
  const writing = (async () => {
    for (let at = 0; at < bytes.length; at += SLICE) {
      await writer.ready;
      writer.write(bytes.subarray(at, at + SLICE)).catch(() => {});
    }
    await writer.close();
  })();
  // Its failure is the reader's too, and is told there.
  writing.catch(() => {});
  const chunks = [];
  let length = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    length += value.length;
    if (length > limit) {
      reader.cancel().catch(() => {});
      throw new RangeError('more than ' + limit + ' bytes');
    }
    chunks.push(value);
  }
  await writing;
  const joined = new Uint8Array(length);
  let at = 0;
  for (const chunk of chunks) {
    joined.set(chunk, at);
    at += chunk.length;
  }
  return joined;
}

// The page's address as the browser shows it, without the game asked for.
function pageAddress() {
  return window.location.origin + window.location.pathname;
}

export async function shareLink(record) {
  const packed = await throughStream(record, new CompressionStream('deflate-raw'), Infinity);
  return pageAddress() + '#r=' + toBase64url(packed);
}

// The packed record in an address or a pasted link, or null when it
// carries none.
export function packedRecordIn(text) {
  const match = /#r=([^&#\s]*)/.exec(text);
  return match ? match[1] : null;
}

// The record a link carries: { bytes } or { problem }, a line for the
// player. isRecord tells a record's bytes from anything else.
export async function recordFromLink(text, isRecord) {
  const packed = packedRecordIn(text.trim());
  if (packed === null) return { problem: 'That is no link to a game of Quorrell: it has no #r= in it.' };
  if (text.length > MAX_LINK) return { problem: 'That link is too long to hold a game of Quorrell (over 2 MB).' };
  const damaged = { problem: 'The game in that link cannot be read: the link is damaged or cut short.' };
  if (!/^[A-Za-z0-9_-]*$/.test(packed) || packed.length % 4 === 1) return damaged;
  try {
    const bytes = await throughStream(fromBase64url(packed), new DecompressionStream('deflate-raw'), MAX_RECORD);
    return isRecord(bytes) ? { bytes } : damaged;
  } catch (error) {
    console.warn(error);
    return damaged;
  }
}

async function share(record) {
  if (!record) {
    say('Nothing to share yet: the game is kept from its first key.');
    return;
  }
  const link = await shareLink(record);
  if (link.length > MAX_LINK) {
    say('This game is too long to share as a link (over 2 MB).');
    return;
  }
  shareField.value = link;
  sharePanel.hidden = false;
  shareField.focus();
  shareField.select();
  try {
    await navigator.clipboard.writeText(link);
    say('The link to this game is copied: whoever opens it watches the game.');
  } catch (error) {
    say('Copy the link below: whoever opens it watches the game.');
  }
}

function shareOrSay(record) {
  share(record).catch((error) => {
    console.error(error);
    say('The link could not be made.');
    backToCommandLine();
  });
}

// currentRecord gives the bytes of the game on the page, or null. Every
// kept game can be shared from the Games panel too.
export function connectSharing(currentRecord) {
  shareButton.addEventListener('click', () => shareOrSay(currentRecord()));
  addGameAction({
    label: 'Share',
    offeredFor: (kept) => kept.state !== 'damaged',
    act: (kept) => closeAnd((chosen) => shareOrSay(chosen.bytes), kept),
  }, 'Download');
}
