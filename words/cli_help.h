// What `rfc --help` says: the commands of the command line, their options
// and exit statuses, in Spanish.
#pragma once

#include <string_view>

namespace words {

inline constexpr std::string_view cli_help =
    R"(Uso: rfc key [--mask] [--fold-accents] PATERNO MATERNO NOMBRES FECHA
     rfc check [--fold-accents] CLAVE [PATERNO MATERNO NOMBRES FECHA]
     rfc batch [--columns PAPEL=COL,...] [--delimiter C] [--encoding COD]
               [--sheet HOJA] [--fill-empty] [--fold-accents] [--] [ARCHIVO|-]
     rfc --help | --version

Calcula la clave del RFC (Registro Federal de Contribuyentes) de una persona física.

rfc key escribe la clave de una persona. Los nombres se pasan a mayúsculas; un
apellido que falta se escribe "". FECHA es AAAA-MM-DD, AAAA/MM/DD, DD/MM/AAAA,
DD-MM-AAAA o DD.MM.AAAA, entre 1601-01-01 y 9999-12-31; el día y el mes pueden
llevar una cifra (5/1/1980), el día va siempre antes del mes y el año lleva
cuatro cifras. El mes puede ir por su nombre, entero o abreviado (15-ene-1980,
15 ene. 1980, 15 de enero de 1980). Se admite una hora después de la fecha,
como la escriben las hojas de cálculo ("15/01/1980 00:00", "15/01/1980
12:00:00 a. m.", "1980-01-15T00:00:00-06:00"), y se ignora. Los espacios que no
se ven (U+00A0 y semejantes) alrededor de un dato se quitan.
  --mask          escribe la clave con guiones: PELJ-800115-2A0
  --fold-accents  quita a las letras sus acentos y diéresis (GONZÁLEZ -> GONZALEZ,
                  MÜLLER -> MULLER) antes de calcular; la Ñ se conserva. Sin esta
                  opción, como en la ventana, una letra acentuada no da clave.

rfc check dice en una línea si CLAVE es una clave del RFC: de persona física
(13 caracteres), de persona moral (12) o una de las genéricas XAXX010101000 y
XEXX010101000, con una fecha que exista y su dígito verificador. Admite
minúsculas, espacios y guiones. Con los datos de la persona, leídos como en
rfc key (también --fold-accents), dice además si coincide con la clave
calculada o en qué difiere: prefijo, fecha, homoclave o dígito verificador.

rfc batch lee un archivo de texto con columnas (CSV; o la entrada estándar si no
hay ARCHIVO o es -) y escribe en la salida estándar cada fila tal como llegó, byte
por byte, más dos columnas: rfc (la clave, o vacío) y resultado ("ok", o por qué
no hay clave), con la codificación, el separador y los fines de línea del archivo
(LF, CRLF o CR solo, como en los archivos de Mac antiguos).
Las columnas se hallan por el encabezado (paterno, apellido paterno, primer
apellido...; materno...; nombre, nombres, nombre(s); fecha, fecha de nacimiento,
nacimiento...; curp), sin importar mayúsculas, acentos, espacios, _ ni puntos;
sin encabezado, son paterno, materno, nombre y fecha, en ese orden. El
encabezado se busca en las diez primeras filas, debajo de títulos (filas de a lo
sumo dos celdas con texto), que se copian tal cual, como una primera línea sep=;
que nombra el separador. Si no hay columna de fecha pero sí de CURP, la fecha se
lee de la CURP. En una columna de fecha nombrada por el encabezado o por
--columns, un número es el día de una hoja de cálculo (29235 es el 15/01/1980);
sin encabezado, no. Las columnas añadidas van bajo las suyas del encabezado en
todas las filas: una fila corta recibe los campos vacíos que le faltan; una
larga conserva sus campos de más después de ellas. Las líneas en blanco se
copian tal cual. Las filas que no se pueden leer se conservan y se
señalan en la salida de errores con su número de línea; al final se da un
resumen. Una salida que es el mismo archivo que la entrada se rechaza, y también
un archivo que no es texto ni libro (.xls, .xlsb, PDF, imagen, ZIP...).
Un libro de Excel (.xlsx, .xlsm) o de OpenDocument (.ods) se reconoce por su
contenido y sale el mismo libro con las dos columnas añadidas como texto, a la
derecha de los datos de la hoja, bajo su encabezado (rfc_calculado si trae claves): las demás hojas,
estilos, fórmulas y partes quedan igual. La hoja es la primera con encabezado
(o --sheet); las filas se nombran por su número en la hoja. La salida de un
libro va a un archivo (rfc batch nomina.xlsx > nomina-rfc.xlsx), nunca a la
terminal; un libro dañado sale con estado 4 y sin escribir un libro completo.
Los encabezados con "empleado", "trabajador" o "colaborador" alrededor ("RFC
Empleado", "Nombre del trabajador") nombran su columna como sin ellos.
Si el archivo trae las claves que ya se tienen (columna rfc, r.f.c., clave rfc,
clave del rfc, rfc con homoclave o registro federal de contribuyentes), cada
una se revisa contra la calculada, como en rfc check: las columnas añadidas son
rfc_calculado y resultado ("coincide", en qué difiere, por qué no es una clave
o por qué no hay clave calculada), y el resumen cuenta cada caso. Las filas con
esa columna vacía se calculan como siempre.
  --columns PAPEL=COL,...  columnas por número (desde 1) o por el texto de su
                  encabezado: --columns paterno=3,materno=4,nombre=2,fecha=7;
                  PAPEL es paterno, materno, nombre, fecha, curp o rfc, y solo
                  se leen las columnas nombradas
  --delimiter C   separador: , ; | o tab (si no, el de sep=, o se halla);
                  otro signo ASCII o el espacio también, pero no letras, cifras,
                  comillas dobles ni fines de línea
  --encoding COD  utf-8, utf-16 o windows-1252 (si no, la marca de orden de
                  bytes, o UTF-8 válido, o Windows-1252)
  --sheet HOJA    en un libro, la hoja por su nombre, o por su número desde 1;
                  --columns también toma letras de columna: paterno=C
  --fill-empty    en un libro con columna de claves, escribe la clave calculada
                  en sus celdas vacías (nunca en una que tenga algo)
  --fold-accents  como en rfc key
  --              lo que sigue es el ARCHIVO aunque empiece con -

Estado de salida:
  0  clave calculada; en check, clave válida y, con datos, de la persona; en
     batch, todas las filas se pudieron leer y ninguna clave revisada es
     dudosa ni ajena
  1  sin clave (rfc key, y la persona en rfc check); alguna fila no se pudo
     leer (rfc batch, si ninguna clave revisada da 6)
  2  uso incorrecto (opción, dato o fecha no válidos; en batch, un archivo que
     no es texto, columnas que faltan o se repiten en el encabezado, o la salida
     es la entrada): en batch no se escribe ninguna fila
  3  entrada rechazada: faltan el nombre o los dos apellidos (rfc key, y la
     persona en rfc check)
  4  error al leer o escribir un archivo
  5  clave dudosa (rfc check): su dígito verificador no corresponde, o solo
     difieren la homoclave y el dígito verificador; en batch, alguna clave
     revisada es dudosa y ninguna da 6 ni hay filas ilegibles
  6  no es una clave, o difieren el prefijo o la fecha (rfc check); en batch,
     alguna clave revisada es así

Ejemplos:
  $ rfc key perez lopez juan 1980-01-15
  PELJ8001152A0
  $ rfc check pelj-800115-2a0
  PELJ8001152A0: clave válida de persona física (nacimiento: 15/01/1980)
)";

}  // namespace words
