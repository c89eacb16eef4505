-- Driven by tools/test-lsp: Neovim's own language client against
-- `tratta_valle3 lsp`, on an emitted pair with an indicator moved onto a
-- taken segment (line description) and a mistyped keyword (train
-- description).
local exe, dir = os.getenv('TRATTA_EXE'), os.getenv('TRATTA_DIR')
local failures = 0
local function check(ok, what)
  print((ok and 'ok   ' or 'FAIL ') .. what)
  if not ok then failures = failures + 1 end
end

-- The editor package of editors/vim: filetype, syntax and the lines that
-- start the server. Installed by the Debian package, Neovim finds it and
-- the program by itself (TRATTA_ROOT unset).
if os.getenv('TRATTA_ROOT') then
  vim.opt.runtimepath:prepend(os.getenv('TRATTA_ROOT') .. '/editors/vim')
  vim.g.tratta_valle3 = exe
  vim.cmd('filetype on')
  vim.cmd('syntax on')
  vim.cmd('runtime! plugin/tratta_lsp.lua')
end

local function open(name)
  vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/' .. name))
  return vim.api.nvim_get_current_buf()
end
local line_buf = open('Tratta_Valle3_linea.txt')
local train_buf = open('Tratta_Valle3_30-.txt')
check(vim.bo[train_buf].filetype == 'tratta' and vim.bo[train_buf].fileformat == 'dos'
  and vim.bo[train_buf].fileencoding == 'cp1252', 'filetype tratta, Windows-1252 with CR LF')
vim.api.nvim_set_current_buf(train_buf)
check(vim.fn.synIDattr(vim.fn.synID(18, 2, 1), 'name') == 'trattaKeyword', 'a keyword highlighted')
vim.wait(10000, function() return #vim.lsp.get_active_clients() > 0 end, 20)
local client = (vim.lsp.get_active_clients()[1] or {}).id
check(client ~= nil and #vim.lsp.get_active_clients() == 1, 'one server started for both descriptions')
local cmd = client and vim.lsp.get_client_by_id(client).config.cmd or {}
check(vim.fn.exepath(cmd[1] or '') == exe, 'the server is ' .. exe .. ': ' .. vim.inspect(cmd))

local function find(buf, pred)
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    if pred(d) then return d end
  end
end

-- Step 1: the reader stops at the line description's code 21.
vim.wait(10000, function() return #vim.diagnostic.get(line_buf) > 0 end, 20)
local err = find(line_buf, function(d) return d.severity == vim.diagnostic.severity.ERROR end)
check(err ~= nil and err.lnum == 360, 'code 21 on line 361 of the line description: ' .. vim.inspect(err and { err.lnum, err.message }))
check(err ~= nil and tostring(err.code) == '21', 'with its code')
check(find(train_buf, function(d) return d.lnum == 18 end) == nil, 'no warning yet in the train description')

-- Step 2: mended in the buffer (never saved), the train's warning appears.
vim.api.nvim_buf_set_lines(line_buf, 360, 361, false,
  { 'indicatori_vmax,  5850,  100,  105,  110,  0,  100,  105,  110,  0' })
vim.wait(10000, function() return find(train_buf, function(d) return d.lnum == 18 end) ~= nil end, 20)
local warn = find(train_buf, function(d) return d.lnum == 18 end)
check(warn ~= nil and warn.severity == vim.diagnostic.severity.WARN and warn.message:find('velocita', 1, true) ~= nil,
  'the mistyped keyword warned on line 19 of the train description: ' .. vim.inspect(warn and warn.message))
vim.wait(3000, function() return #vim.diagnostic.get(line_buf) == 0 end, 20)
check(#vim.diagnostic.get(line_buf) == 0, 'the line description clear: ' .. vim.inspect(vim.tbl_map(function(d) return { d.lnum, d.message } end, vim.diagnostic.get(line_buf))))

-- Hover and completion.
local uri = vim.uri_from_bufnr(train_buf)
local hover = vim.lsp.buf_request_sync(train_buf, 'textDocument/hover',
  { textDocument = { uri = uri }, position = { line = 17, character = 2 } }, 5000)
local text = hover and hover[client] and hover[client].result and hover[client].result.contents.value or ''
check(text:find('**velocita**', 1, true) ~= nil and text:find('lands on segment 20', 1, true) ~= nil,
  'hover on a speed record tells where it lands')
local compl = vim.lsp.buf_request_sync(train_buf, 'textDocument/completion',
  { textDocument = { uri = uri }, position = { line = 0, character = 0 } }, 5000)
local labels = {}
for _, item in ipairs(compl and compl[client] and compl[client].result or {}) do labels[item.label] = true end
check(labels['stazione'] and labels['segnale'] and not labels['pendenza'], 'completion offers the train records')

-- Step 3: the keyword mended, everything clears.
local fixed = vim.api.nvim_buf_get_lines(train_buf, 18, 19, false)[1]:gsub('velocta', 'velocita')
vim.api.nvim_buf_set_lines(train_buf, 18, 19, false, { fixed })
vim.wait(10000, function() return #vim.diagnostic.get(train_buf) == 0 end, 20)
check(#vim.diagnostic.get(train_buf) == 0, 'the warning cleared once mended')

vim.lsp.stop_client(client)
if failures > 0 then vim.cmd('cquit ' .. failures) else vim.cmd('qa!') end
