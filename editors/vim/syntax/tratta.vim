" The line and train descriptions: section headings, the keyword of each
" record (its first field), numbers, comment lines.
if exists('b:current_syntax')
  finish
endif

syntax match trattaHeading /^\s*\[[^]]*\]/
syntax match trattaComment /^\s*-.*$/
syntax match trattaKeyword /^\s*[^,[ -][^,]*\ze,/
syntax match trattaNumber /\%(^\|,\)\s*\zs-\?\d\+\ze\s*\%(,\|$\)/

highlight default link trattaHeading Title
highlight default link trattaComment Comment
highlight default link trattaKeyword Keyword
highlight default link trattaNumber Number

let b:current_syntax = 'tratta'
