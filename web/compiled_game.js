// The game's compiled WebAssembly, on its way since the loading line
// (index.html): every game on the page, a transcript's too, is made from it.
export const compileGame = window.compileQuorrell;

export function instantiateGame(onError) {
  return (imports, receive) => {
    compileGame()
      .then((module) => WebAssembly.instantiate(module, imports))
      .then((instance) => receive(instance))
      .catch(onError);
    return {};
  };
}

// The game ends by exit(), which Emscripten carries out by throwing out of
// the game's code; that is the ending, not a fault of the page.
export function isGameExit(error) {
  return Boolean(error) && error.name === 'ExitStatus';
}
