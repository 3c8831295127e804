// The batch's callbacks as the WebAssembly imports them (bindings.cpp): each
// calls the one of Module.claveRfcBatch, which api.js sets for the run. None
// lets an exception through: thrown across the engine's frames, it would
// skip their clean-up. A failure is a failed read or write instead.
mergeInto(LibraryManager.library, {
  claverfc_read: function (buffer, capacity) {
    try {
      return Module['claveRfcBatch'].read(buffer, capacity);
    } catch (error) {
      return -1;
    }
  },
  claverfc_read_waiting: function (buffer, capacity) {
    try {
      return Promise.resolve(Module['claveRfcBatch'].read(buffer, capacity)).catch(function () {
        return -1;
      });
    } catch (error) {
      return Promise.resolve(-1);
    }
  },
  claverfc_write: function (bytes, size) {
    try {
      return Module['claveRfcBatch'].write(bytes, size);
    } catch (error) {
      return 0;
    }
  },
  claverfc_message: function (line, size) {
    try {
      Module['claveRfcBatch'].message(line, size);
    } catch (error) {
      // A message that cannot be shown does not stop the batch.
    }
  },
  claverfc_problem: function (line, reason, reasonSize, text, textSize) {
    try {
      Module['claveRfcBatch'].problem(line, reason, reasonSize, text, textSize);
    } catch (error) {
      // Nor does a row that cannot be shown.
    }
  },
  claverfc_sheets: function (list, size, chosen) {
    try {
      Module['claveRfcBatch'].sheets(list, size, chosen);
    } catch (error) {
      // Nor a list of sheets.
    }
  },
  claverfc_read_at: function (offset, buffer, size) {
    try {
      return Module['claveRfcBatch'].readAt(offset, buffer, size);
    } catch (error) {
      return 0;
    }
  },
  claverfc_progress: function (done, total) {
    try {
      Module['claveRfcBatch'].progress(done, total);
    } catch (error) {
      // Nor the progress.
    }
  },
});
