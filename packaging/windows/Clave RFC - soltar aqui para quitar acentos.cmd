@echo off
rem As the other drop file, with the accents taken off the names before the
rem key is computed (an E with an acute accent is read as E; the N with a tilde
rem stays), for files where accented letters would leave rows without a key.
rem Not a call: the files' names are expanded once, and control never returns.
"%~dp0Clave RFC - soltar archivo aqui.cmd" --fold-accents %*
