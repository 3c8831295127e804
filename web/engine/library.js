// The batch's callbacks as the WebAssembly imports them (bindings.cpp): each
// calls the one of Module.claveRfcBatch, which api.js sets for the run.
mergeInto(LibraryManager.library, {
  claverfc_read: function (buffer, capacity) {
    return Module['claveRfcBatch'].read(buffer, capacity);
  },
  claverfc_read_waiting: function (buffer, capacity) {
    return Module['claveRfcBatch'].read(buffer, capacity);
  },
  claverfc_write: function (bytes, size) {
    return Module['claveRfcBatch'].write(bytes, size);
  },
  claverfc_message: function (line, size) {
    Module['claveRfcBatch'].message(line, size);
  },
});
