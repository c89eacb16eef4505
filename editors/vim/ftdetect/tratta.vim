" The line and train descriptions of a scenario, by the names emit gives
" them: Windows-1252 text with CR LF line ends.
autocmd BufReadPre *_linea.txt,*_*-.txt setlocal fileencodings=cp1252 fileformats=dos
" They end in .txt: the filetype is set over "text".
autocmd BufRead,BufNewFile *_linea.txt,*_*-.txt set filetype=tratta
