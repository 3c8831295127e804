// The page's handlers, one per user event, as the window's are: each reads its
// controls, calls the engine and shows what it returns. Upper-casing, dates,
// keys, verdicts, files and every sentence the user reads come from the engine;
// the labels were written into the page from the engine when it was built.
'use strict';

const $ = (id) => document.getElementById(id);

// --- The key, as the window computes it --------------------------------------

function setUpKey(rfc) {
    const boxes = [$('Txt0'), $('Txt1'), $('Txt2')];
    const DtP = $('DtP');
    const CmdGen = $('CmdGen');
    const TxtRFC = $('TxtRFC');

    // Txt_KeyPress: what is typed arrives upper-cased; what is pasted or dropped
    // keeps its case (Calcular upper-cases it). The typed text ends at the caret.
    const upperCaseTyped = (box, typed) => {
        const end = box.selectionEnd;
        const start = end - typed.length;
        if (start < 0 || box.value.slice(start, end) !== typed) return;
        const upper = rfc.upperCase(typed);
        if (upper !== typed) box.setRangeText(upper, start, end, 'end');
    };
    for (const box of boxes) {
        box.addEventListener('input', (event) => {
            // During a composition (dead keys, input methods) the text is still
            // the method's; it is upper-cased when the composition ends.
            if (event.isComposing || !event.data) return;
            if (event.inputType === 'insertText' || event.inputType === 'insertCompositionText') {
                upperCaseTyped(box, event.data);
            }
        });
        box.addEventListener('compositionend', (event) => {
            if (event.data) upperCaseTyped(box, event.data);
        });
        // Txt_GotFocus: entering a box selects its whole text.
        box.addEventListener('focus', () => box.select());
    }

    // The picker always holds a date: an emptied or out-of-range date goes
    // back to the last one it held.
    let lastDate = DtP.value;
    const rememberDate = () => {
        if (DtP.value && DtP.validity.valid) lastDate = DtP.value;
    };
    const keepDate = () => {
        rememberDate();
        DtP.value = lastDate;
    };
    DtP.addEventListener('change', rememberDate);
    DtP.addEventListener('blur', keepDate);

    // CmdGen_Click, by click, by Enter in any field (the form's default button)
    // or by its access key.
    $('frm_RFC').addEventListener('submit', (event) => {
        event.preventDefault();
        CmdGen.focus();
        keepDate();
        const outcome = rfc.key({
            paterno: boxes[0].value,
            materno: boxes[1].value,
            nombre: boxes[2].value,
            fecha: DtP.value,
            foldAccents: $('quitarAcentos').checked,
        });
        TxtRFC.value = outcome.masked;
        $('mensaje').textContent = outcome.outcome === 'key' ? '' : outcome.message;
        TxtRFC.focus();
    });
    // Alt and the access key press the button as in the window, on every
    // system: browsers differ in the keys they give to accesskey.
    const accessKey = CmdGen.accessKey.toLowerCase();
    document.addEventListener('keydown', (event) => {
        if (!event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
        if (event.key.toLowerCase() !== accessKey && event.code !== `Key${accessKey.toUpperCase()}`) return;
        event.preventDefault();
        CmdGen.click();
    });
    CmdGen.disabled = false;
}

// --- A key someone holds ------------------------------------------------------

function setUpCheck(rfc) {
    $('frmRevisar').addEventListener('submit', (event) => {
        event.preventDefault();
        const [paterno, materno, nombre] = ['Txt0', 'Txt1', 'Txt2'].map((id) => $(id).value);
        // Checked against the person in the form once any name is filled in.
        const filled = [paterno, materno, nombre].some((name) => name.trim() !== '');
        const person = filled
            ? { paterno, materno, nombre, fecha: $('DtP').value, foldAccents: $('quitarAcentos').checked }
            : undefined;
        const verdict = rfc.check($('TxtClave').value, person);
        const veredicto = $('veredicto');
        veredicto.textContent = verdict.text;
        // Sound, doubtful, or not the key (nor a key to compare with).
        const estados = { [rfc.exitStatus.ok]: 'bien', [rfc.exitStatus.keyDoubtful]: 'duda' };
        veredicto.dataset.estado = estados[verdict.status] ?? 'mal';
    });
    $('CmdRevisar').disabled = false;
}

// --- A whole file ---------------------------------------------------------------

// "nomina.csv" downloads as "nomina-rfc.csv"; a name without extension gets "-rfc".
function outputName(name) {
    const dot = name.lastIndexOf('.');
    return dot > 0 ? `${name.slice(0, dot)}-rfc${name.slice(dot)}` : `${name}-rfc`;
}

// Whether the file is a workbook (.xlsx, .ods: a zip), by its first bytes as
// rfc batch tells it: its cells say how they are written, so the encoding and
// separator chosen are set aside.
async function isWorkbook(file) {
    const head = new Uint8Array(await file.slice(0, 4).arrayBuffer());
    return head.length === 4 && head[0] === 0x50 && head[1] === 0x4b && head[2] === 3 && head[3] === 4;
}

// A workbook's sheet is the one chosen in the list, once the list is shown;
// before, the engine proposes the first with a header.
function batchOptions(file, workbook, sheet) {
    const options = { name: file.name, foldAccents: $('quitarAcentosArchivo').checked };
    if (workbook) {
        if (sheet !== undefined) options.sheet = sheet;
        options.fillEmpty = $('llenarVacias').checked;
    } else {
        const encoding = $('codificacion').value;
        if (encoding) options.encoding = encoding;
        const separator = $('separador').value;
        if (separator === 'otro') options.delimiter = $('otroSeparador').value;
        else if (separator) options.delimiter = separator;
    }
    const columns = $('columnas').value.trim();
    if (columns) options.columns = columns;
    return options;
}

// The options that a workbook's cells make pointless are disabled while one
// is chosen, and the sheet list is shown only for a workbook.
function showFileKind(workbook) {
    for (const id of ['codificacion', 'separador', 'otroSeparador']) $(id).disabled = workbook;
    $('llenarVacias').disabled = !workbook;
    if (!workbook) $('campoHoja').hidden = true;
}

// The workbook's sheets, the one read selected.
function showSheets(sheets, sheet) {
    const hoja = $('hoja');
    hoja.replaceChildren(...sheets.map((name) => new Option(name, name, false, name === sheet)));
    $('campoHoja').hidden = false;
}

function setUpFile(rfc) {
    // Exit statuses of a batch after which no row was written (wrong use of the
    // options, or the file could not be read): there is nothing to download.
    const wroteNothing = new Set([rfc.exitStatus.usage, rfc.exitStatus.ioError]);
    const workerSource = [$('engine').textContent, '\n', $('worker').textContent];
    const workerUrl = URL.createObjectURL(new Blob(workerSource, { type: 'text/javascript' }));
    const archivo = $('archivo');
    const zona = $('zona');
    const progreso = $('progreso');
    const resumen = $('resumen');
    const descargar = $('descargar');
    const problemas = $('problemas');
    const filas = problemas.querySelector('tbody');
    const CmdConvertir = $('CmdConvertir');
    const CmdCancelar = $('CmdCancelar');
    let worker = null;
    // The next conversion's worker, made while the page waits (see warmUp in the worker).
    let ready = null;
    setTimeout(() => {
        ready = new Worker(workerUrl);
        ready.postMessage({ warmUp: true, wasmModule: rfc.wasmModule });
    });

    const clearResult = () => {
        resumen.replaceChildren();
        delete resumen.dataset.salida;
        filas.replaceChildren();
        problemas.hidden = true;
        if (descargar.href) URL.revokeObjectURL(descargar.href);
        descargar.removeAttribute('href');
        descargar.hidden = true;
    };
    const finish = () => {
        progreso.hidden = true;
        CmdCancelar.hidden = true;
        CmdConvertir.disabled = false;
        document.documentElement.dataset.convirtiendo = 'no';
    };
    const stop = () => {
        if (worker) worker.terminate();
        worker = null;
        finish();
    };
    const say = (text) => {
        const p = document.createElement('p');
        p.textContent = text;
        resumen.append(p);
    };

    const onWorkerMessage = (file) => (event) => {
        const data = event.data;
        if (data.type === 'sheets') {
            showSheets(data.sheets, data.sheet);
        } else if (data.type === 'progress') {
            progreso.value = data.total ? data.done / data.total : 1;
        } else if (data.type === 'message') {
            say(data.line);
        } else if (data.type === 'row') {
            const tr = filas.insertRow();
            tr.insertCell().textContent = String(data.line);
            tr.insertCell().textContent = data.text;
            problemas.hidden = false;
        } else if (data.type === 'done') {
            if (!wroteNothing.has(data.exitStatus)) {
                descargar.href = URL.createObjectURL(data.output);
                descargar.download = outputName(file.name);
                descargar.hidden = false;
            }
            resumen.dataset.salida = String(data.exitStatus);
            finish();
        } else if (data.type === 'failed') {
            say(data.text);
            stop();
        }
    };

    const tituloFila = $('tituloFila');
    // The file converted last, and whether it is a workbook: choosing another
    // of its sheets converts it again.
    let current = null;
    const convert = async (file, sheet) => {
        if (!file) return;
        const workbook = await isWorkbook(file);
        current = { file, workbook };
        showFileKind(workbook);
        // Another file's sheets are not this one's: the list comes back with the engine's.
        if (sheet === undefined) $('campoHoja').hidden = true;
        if (worker) worker.terminate();
        clearResult();
        // A workbook's rows are named by their number in the sheet.
        tituloFila.textContent = workbook ? tituloFila.dataset.libro : tituloFila.dataset.texto;
        worker = ready ?? new Worker(workerUrl);
        ready = null;
        worker.onmessage = onWorkerMessage(file);
        worker.onerror = (event) => {
            say(event.message);
            stop();
        };
        progreso.value = 0;
        progreso.hidden = false;
        CmdCancelar.hidden = false;
        CmdConvertir.disabled = true;
        document.documentElement.dataset.convirtiendo = 'si';
        // The page's own compiled engine: the worker needs neither to unpack nor to compile it.
        worker.postMessage({
            file,
            workbook,
            options: batchOptions(file, workbook, sheet),
            wasmModule: rfc.wasmModule,
        });
    };
    $('hoja').addEventListener('change', () => {
        if (current && current.workbook) convert(current.file, $('hoja').value);
    });

    archivo.addEventListener('change', () => convert(archivo.files[0]));
    // Converting the same workbook again keeps the sheet chosen.
    $('frmArchivo').addEventListener('submit', (event) => {
        event.preventDefault();
        const file = archivo.files[0];
        const again = current && current.workbook && current.file === file && !$('campoHoja').hidden;
        convert(file, again ? $('hoja').value : undefined);
    });
    CmdCancelar.addEventListener('click', () => {
        stop();
        CmdConvertir.focus();
    });
    $('separador').addEventListener('change', () => {
        $('campoOtroSeparador').hidden = $('separador').value !== 'otro';
    });

    // A file dropped on the zone is converted; dropped anywhere else it is
    // ignored rather than opened by the browser in place of the page.
    window.addEventListener('dragover', (event) => event.preventDefault());
    window.addEventListener('drop', (event) => event.preventDefault());
    zona.addEventListener('dragover', () => zona.classList.add('encima'));
    zona.addEventListener('dragleave', () => zona.classList.remove('encima'));
    zona.addEventListener('drop', (event) => {
        zona.classList.remove('encima');
        const files = event.dataTransfer.files;
        if (files.length === 0) return;
        archivo.files = files;
        convert(files[0]);
    });
    CmdConvertir.disabled = false;
}

async function start() {
    // The engine's script carries its WebAssembly and hands it to the loader.
    const rfc = await createClaveRfc({ pageControls: true });
    setUpKey(rfc);
    setUpCheck(rfc);
    setUpFile(rfc);
    document.documentElement.dataset.listo = 'si';
    // For bench/web_page.mjs: the time from navigation to a usable page.
    performance.mark('clave-rfc-listo');
}

start();
